// The simulated services the program's shell runs on: the terminate protocol,
// signals, the status item's menu and the workspace's application lookups.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/sim/adapters/desktop.h"
#include "platform/sim/adapters/recording_canvas.h"

namespace vistarail::sim {
namespace {

using ::testing::ElementsAre;

struct Delegate : ApplicationDelegate {
  TerminateReply reply = TerminateReply::later;
  int launches = 0;
  int asked = 0;
  int reopened = 0;
  void applicationDidFinishLaunching() override { ++launches; }
  TerminateReply applicationShouldTerminate() override {
    ++asked;
    return reply;
  }
  bool applicationShouldHandleReopen(bool) override {
    ++reopened;
    return true;
  }
};

TEST(SimApplication, TheProcessExitsOnlyOnANowOrAYesReply) {
  Desktop desk;
  auto delegate = std::make_shared<Delegate>();
  desk.application.setDelegate(delegate);
  desk.application.run();
  desk.application.run();
  desk.dispatch.runFor(0.1);
  EXPECT_EQ(delegate->launches, 1);

  delegate->reply = TerminateReply::cancel;
  desk.application.terminate();
  EXPECT_FALSE(desk.application.terminatedAt());
  delegate->reply = TerminateReply::later;
  desk.application.terminate();
  EXPECT_TRUE(desk.application.awaitingTerminateReply());
  desk.dispatch.runFor(1.0);
  desk.application.replyToApplicationShouldTerminate(false);
  EXPECT_FALSE(desk.application.terminatedAt());
  // A stray reply without a request ends nothing.
  desk.application.replyToApplicationShouldTerminate(true);
  EXPECT_FALSE(desk.application.terminatedAt());

  desk.application.terminate();
  desk.dispatch.runFor(0.5);
  desk.application.replyToApplicationShouldTerminate(true);
  EXPECT_EQ(desk.application.terminatedAt(), 1.6);
  EXPECT_EQ(delegate->asked, 3);
  desk.application.terminate();  // gone: nobody is asked
  EXPECT_EQ(delegate->asked, 3);
}

TEST(SimProcess, AnUnhandledSignalEndsTheProcessAHandledOneReachesTheMainQueue) {
  Desktop desk;
  desk.process.setEnvironmentValue("HOME", "/Users/ada");
  EXPECT_EQ(desk.process.environmentValue("HOME"), "/Users/ada");
  EXPECT_EQ(desk.process.environmentValue("XCTestConfigurationFilePath"), std::nullopt);

  int heard = 0;
  {
    Subscription source = desk.process.observeSignal(kSignalTerminate, [&] { ++heard; });
    desk.process.sendSignal(kSignalTerminate);
    EXPECT_EQ(heard, 0);  // not before the main queue runs
    desk.dispatch.runFor(0.01);
    EXPECT_EQ(heard, 1);
  }
  // The disposition stays "ignore" once the source is gone.
  desk.process.sendSignal(kSignalTerminate);
  desk.dispatch.runFor(0.01);
  EXPECT_EQ(heard, 1);
  EXPECT_FALSE(desk.process.killedBy());
  desk.process.sendSignal(2);
  EXPECT_EQ(desk.process.killedBy(), 2);
}

TEST(SimStatusBar, TheMenuIsUpdatedOnEachOpenAndOnlyEnabledItemsAct) {
  Desktop desk;
  auto item = desk.statusBar.makeStatusItem(kSquareStatusItemLength);
  int opens = 0;
  int performed = 0;
  bool valid = false;
  Menu menu;
  menu.autoenablesItems = false;
  item->setMenu(menu, [&](Menu& shown) {
    ++opens;
    shown.items.clear();
    MenuItem on{.title = "On", .perform = [&] { ++performed; }};
    MenuItem off{.title = "Off", .enabled = false, .perform = [&] { performed += 100; }};
    shown.items = {on, MenuItem::separator(), off};
  });
  for (const char* title : {"On", "Off", "Missing"}) {
    desk.statusBar.click();
    desk.statusBar.choose(title);
  }
  desk.statusBar.choose("On");  // the menu is closed
  desk.dispatch.runFor(0.01);
  EXPECT_EQ(opens, 3);
  EXPECT_EQ(performed, 1);
  EXPECT_THAT(desk.statusBar.log(),
              ElementsAre("click: the menu opens", "choose On", "click: the menu opens",
                          "choose Off: disabled", "click: the menu opens",
                          "choose Missing: no such item", "choose On: no open menu"));

  // With automatic enabling the item's own validation decides.
  menu.autoenablesItems = true;
  menu.items = {MenuItem{.title = "Check",
                         .enabled = false,
                         .perform = [&] { ++performed; },
                         .validate = [&] { return valid; }}};
  item->setMenu(menu, nullptr);
  desk.statusBar.click();
  desk.statusBar.choose("Check");
  valid = true;
  desk.dispatch.runFor(0.01);
  EXPECT_EQ(performed, 2);

  item.reset();
  EXPECT_EQ(desk.statusBar.item(), nullptr);
  EXPECT_EQ(desk.statusBar.itemsMade(), 1);
}

TEST(SimWorkspace, FindsApplicationsAndTheirIcons) {
  Desktop desk;
  const Pid old = desk.world.launchApp(
      {.bundleIdentifier = "com.example.mail", .name = "Mail", .bundlePath = "/Old/Mail.app"});
  desk.world.quitApp(old);
  const Pid pid = desk.world.launchApp({.bundleIdentifier = "com.example.mail",
                                        .name = "Mail",
                                        .bundlePath = "/Applications/Mail.app"});
  desk.world.launchApp({.bundleIdentifier = "com.example.bare", .name = "Bare"});

  EXPECT_EQ(desk.workspace.urlForApplication("com.example.mail"), "/Applications/Mail.app");
  EXPECT_EQ(desk.workspace.urlForApplication("com.example.bare"), std::nullopt);
  EXPECT_EQ(desk.workspace.urlForApplication(""), std::nullopt);

  auto icon = std::dynamic_pointer_cast<const SimImage>(desk.workspace.runningApplicationIcon(pid));
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->appName(), "Mail");
  EXPECT_EQ(desk.workspace.runningApplicationIcon(old), nullptr);
  auto file = std::dynamic_pointer_cast<const SimImage>(
      desk.workspace.iconForFile("/Applications/Preview.app"));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->appName(), "Preview");
}

}  // namespace
}  // namespace vistarail::sim
