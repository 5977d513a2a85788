#include <gtest/gtest.h>

#include "settings_desk.h"

namespace vistarail {
namespace {

using test::SettingsDesk;

std::string headerDetail(SettingsDesk& desk) {
  return desk.control("Recommended macOS settings")->detail;
}

TEST(MacSetupTab, RefreshesOnAppearanceEveryTwoSecondsAndOnFingerChanges) {
  SettingsDesk desk;
  desk.world.setTrusted(false);
  desk.world.launchApp({.bundleIdentifier = "com.MrKai77.Loop", .name = "Loop"});
  desk.world.launchApp({.bundleIdentifier = "com.MrKai77.Loop", .name = "Loop"});
  SettingsWindow& window = desk.open(SettingsTab::general);
  SetupTab& setup = window.setup();
  EXPECT_FALSE(setup.isShown());
  const int before = setup.refreshes();
  desk.dispatch.runFor(5);
  EXPECT_EQ(setup.refreshes(), before);  // not shown: no timer

  desk.controller.select(SettingsTab::setup);
  EXPECT_EQ(setup.refreshes(), before + 1);
  EXPECT_EQ(headerDetail(desk), "2 to fix");
  EXPECT_EQ(desk.control("Recommended macOS settings")->tone, FormTone::warning);
  EXPECT_EQ(desk.control("check.others")->detail,
            "Quit Loop — two window managers will fight over the same windows.");
  // Granting Accessibility while the tab shows turns its row green within 2 s.
  desk.world.setTrusted(true);
  desk.dispatch.runFor(2.0);
  EXPECT_EQ(desk.control("check.ax")->tone, FormTone::success);
  EXPECT_EQ(desk.control("check.ax")->symbol, "checkmark.circle.fill");
  EXPECT_EQ(headerDetail(desk), "1 to fix");
  const int afterTicks = setup.refreshes();
  EXPECT_EQ(afterTicks, before + 2);

  desk.settings.swipeFingers.set(3);
  EXPECT_EQ(setup.refreshes(), afterTicks + 1);
  EXPECT_TRUE(desk.control("check.threefinger"));
  desk.settings.swipeFingers.set(3);  // no change, no rebuild
  EXPECT_EQ(setup.refreshes(), afterTicks + 1);

  desk.controller.close();
  desk.dispatch.runFor(10);
  EXPECT_EQ(setup.refreshes(), afterTicks + 1);
  desk.controller.show();  // back on the same tab: rebuilt at once
  EXPECT_EQ(setup.refreshes(), afterTicks + 2);
}

TEST(MacSetupTab, RowsShowTheirStateAndOpenTheirPane) {
  SettingsDesk desk;
  desk.bundlePath = "/Users/ada/Downloads/Vistarail.app";
  SettingsWindow& window = desk.open(SettingsTab::setup);
  EXPECT_EQ(headerDetail(desk), "Review checklist");
  auto location = desk.control("check.location");
  EXPECT_EQ(location->symbol, "info.circle.fill");
  EXPECT_EQ(location->tone, FormTone::info);
  EXPECT_EQ(location->actionTitle, "");
  EXPECT_FALSE(window.operate("check.location"));  // no button
  EXPECT_EQ(desk.control("check.stage")->actionTitle, "Open Desktop & Dock");
  EXPECT_TRUE(window.operate("check.stage"));
  EXPECT_EQ(desk.opened, std::vector<std::string>{
                             "x-apple.systempreferences:com.apple.Desktop-Settings.extension"});
  // The simulated Mac runs 14.6.1: no tiling row.
  EXPECT_FALSE(desk.control("check.tiling"));
  desk.world.setOSVersion({15, 0, 0});
  desk.dispatch.runFor(2.0);
  EXPECT_TRUE(desk.control("check.tiling"));
}

TEST(MacSetupTab, DisplaysBesideAManagedOneAreNoticed) {
  SettingsDesk desk;
  const DisplayNumber side =
      desk.world.plugDisplay({.name = "Side",
                              .frame = {1512, 0, 1920, 1080},
                              .uuid = "5a1e0000-0000-4000-8000-0000000a5d11"});
  desk.open(SettingsTab::setup);
  EXPECT_EQ(desk.control("check.displays")->tone, FormTone::info);
  EXPECT_EQ(desk.control("check.displays")->actionTitle, "Open Displays");
  desk.world.unplugDisplay(side);
  desk.world.plugDisplay({.name = "Above",
                          .frame = {0, -1080, 1920, 1080},
                          .uuid = "5a1e0000-0000-4000-8000-0000000a5d12"});
  desk.dispatch.runFor(2.0);
  EXPECT_EQ(desk.control("check.displays")->tone, FormTone::success);
  EXPECT_EQ(desk.control("check.displays")->detail,
            "Managed displays have room at their sides for scrolling.");
}

}  // namespace
}  // namespace vistarail
