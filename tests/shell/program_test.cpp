// The program as the process entry assembles it, on the simulated Mac: the
// settings window reached from the menus through its host and kept current,
// the update manager behind both "Check for Updates…" items, and the
// shortcut recorder's monitor ended by closing the window.

#include "shell/program.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/sim/adapters/desktop.h"
#include "platform/sim/adapters/sim_form_host.h"
#include "platform/sim/adapters/sim_key_monitor.h"
#include "platform/sim/adapters/sim_login_item.h"
#include "platform/sim/adapters/sim_updater.h"
#include "shell/shell_texts.h"

namespace vistarail::test {
namespace {

struct ProgramDesk : sim::Desktop {
  sim::SimLoginItem loginItem;
  sim::SimKeyMonitor keyMonitor;
  sim::SimUpdaterFactory updaters;
  sim::SimFormHost settingsHost;
  std::unique_ptr<Program> program;

  explicit ProgramDesk(std::optional<std::string> bundleID = kUpdatesBundleIdentifier)
      : sim::Desktop(3) {
    world.plugDisplay({.name = "Built-in",
                       .frame = {0, 0, 1440, 900},
                       .visibleFrame = {0, 25, 1440, 840},
                       .uuid = "5e11de5c-0000-4000-8000-000000000002"});
    world.setTrusted(true);
    bundle.setup().identifier = std::move(bundleID);
    bundle.setup().info = {{"CFBundleShortVersionString", "2.1"}, {"CFBundleVersion", "40"}};
  }
  ~ProgramDesk() { program.reset(); }

  void launch() {
    program = std::make_unique<Program>(
        ProgramPorts{application, statusBar,    process,       bundle,         alerts,
                     ax,          windowServer, workspace,     dispatch,       links,
                     hotKeys,     taps,         overlayPanels, keyboardLayout, text,
                     defaults,    loginItem,    keyMonitor,    updaters,       settingsHost});
    program->run();
    dispatch.runFor(0.5);
  }
  Menu openMenu() {
    statusBar.click();
    dispatch.runFor(0.01);
    return statusBar.lastOpenedMenu().value_or(Menu{});
  }
  void choose(const std::string& title) {
    openMenu();
    statusBar.choose(title);
    dispatch.runFor(0.05);
  }
  static const MenuItem* find(const Menu& menu, const std::string& title) {
    for (const MenuItem& item : menu.items)
      if (!item.isSeparator && item.displayedTitle() == title) return &item;
    return nullptr;
  }
};

TEST(Program, SettingsFromTheMenusShowOneWindowKeptCurrentWhileShown) {
  ProgramDesk desk;
  desk.launch();
  ASSERT_TRUE(desk.program->delegate().manager()->isRunning());
  EXPECT_EQ(desk.settingsHost.windowsMade(), 0);

  desk.choose(shell::kSettings);
  ASSERT_TRUE(desk.settingsHost.isVisible());
  EXPECT_EQ(desk.settingsHost.form().title, "Vistarail");
  EXPECT_EQ(desk.settingsHost.form().tabs.size(), 6u);
  EXPECT_EQ(desk.settingsHost.form().selectedTab, 0);
  const FormControl* version = desk.settingsHost.control("Version");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->valueText, "2.1 (40)");
  EXPECT_GE(desk.application.activations(), 1);

  // Paused from the status menu while the window shows: the toggle follows
  // within one refresh, without the person touching the window.
  const FormControl* arrange = desk.settingsHost.control("Arrange windows on a scrolling strip");
  ASSERT_NE(arrange, nullptr);
  EXPECT_TRUE(arrange->isOn);
  desk.choose(shell::kPause);
  desk.dispatch.runFor(kSettingsRefreshSeconds + 0.01);
  EXPECT_FALSE(desk.settingsHost.control("Arrange windows on a scrolling strip")->isOn);

  // Operated through the window: the store changes and the window shows it.
  desk.settingsHost.operate("Arrange windows on a scrolling strip", true);
  EXPECT_TRUE(desk.program->settings().enabled.value());
  EXPECT_TRUE(desk.settingsHost.control("Arrange windows on a scrolling strip")->isOn);

  // "Mac Setup…" switches the same window to its tab; a tab clicked in the
  // window is kept for "Settings…".
  desk.choose(shell::kMacSetup);
  EXPECT_EQ(desk.settingsHost.form().selectedTab, 5);
  desk.settingsHost.clickTab(1);
  EXPECT_EQ(desk.settingsHost.form().selectedTab, 1);
  desk.choose(shell::kSettings);
  EXPECT_EQ(desk.settingsHost.form().selectedTab, 1);
  desk.settingsHost.clickTab(99);  // no such tab: nothing changes
  EXPECT_EQ(desk.settingsHost.form().selectedTab, 1);
  EXPECT_EQ(desk.settingsHost.windowsMade(), 1);

  // Closed: no more descriptions are sent, and reopening the program shows
  // the window again on its tab.
  desk.settingsHost.close();
  const int updates = desk.settingsHost.updates();
  desk.program->settings().carouselMode.set(true);
  desk.dispatch.runFor(3);
  EXPECT_EQ(desk.settingsHost.updates(), updates);
  desk.application.reopen();
  desk.dispatch.runFor(0.05);
  EXPECT_TRUE(desk.settingsHost.isVisible());
  EXPECT_EQ(desk.settingsHost.form().selectedTab, 1);
  EXPECT_EQ(desk.settingsHost.windowsMade(), 1);
}

TEST(Program, ClosingTheWindowWhileRecordingGivesTheShortcutsBack) {
  ProgramDesk desk;
  desk.launch();
  desk.choose(shell::kSettings);
  desk.settingsHost.clickTab(3);
  desk.settingsHost.operate("shortcut.togglePause");
  HotKeyManager& hotKeys = desk.program->delegate().manager()->hotKeys();
  EXPECT_TRUE(hotKeys.isSuspended());
  EXPECT_EQ(desk.keyMonitor.installed(), 1u);
  ASSERT_NE(desk.settingsHost.control("shortcut.togglePause"), nullptr);
  EXPECT_FALSE(desk.settingsHost.control("shortcut.togglePause")->detail.empty());

  desk.settingsHost.close();
  EXPECT_FALSE(hotKeys.isSuspended());
  EXPECT_EQ(desk.keyMonitor.installed(), 0u);
}

// What a person does in the window reaches the services behind it: the
// login item's refusal, the rules field, and the privacy policy that takes
// the status menu's road (an alert when the bundle lacks the page).
TEST(Program, TheWindowsControlsReachTheServicesBehindThem) {
  ProgramDesk desk;
  desk.loginItem.refuse("Operation not permitted");
  desk.launch();
  desk.choose(shell::kSettings);

  desk.settingsHost.operate("Launch at login", true);
  EXPECT_FALSE(desk.settingsHost.control("Launch at login")->isOn);
  bool refusalShown = false;
  for (const FormControl& c : desk.settingsHost.form().controls)
    refusalShown |= c.label == "Operation not permitted" && c.tone == FormTone::error;
  EXPECT_TRUE(refusalShown);

  desk.settingsHost.operate("Privacy Policy\u2026");
  ASSERT_EQ(desk.alerts.shown().size(), 1u);
  EXPECT_EQ(desk.alerts.shown()[0].alert.messageText, shell::kPrivacyPolicyFailed);

  desk.settingsHost.clickTab(4);
  const size_t floating = desk.program->settings().floatingBundleIDs.value().size();
  desk.settingsHost.operate("rules.field", std::string("  com.example.Notes\t"));
  EXPECT_EQ(desk.settingsHost.control("rules.field")->detail, "  com.example.Notes\t");
  desk.settingsHost.operate("rules.field");  // Return
  const std::vector<std::string>& ids = desk.program->settings().floatingBundleIDs.value();
  ASSERT_EQ(ids.size(), floating + 1);
  EXPECT_EQ(ids.back(), "com.example.Notes");
  EXPECT_EQ(desk.settingsHost.control("rules.field")->detail, "");
  EXPECT_NE(desk.settingsHost.control("rule.com.example.Notes"), nullptr);
}

TEST(Program, UpdatesOnlyUnderTheCustomerIdentifierAndOnlyWhenIdle) {
  struct Case {
    std::optional<std::string> bundleID;
    bool busy;
    bool enabled;
    int checks;
  };
  const Case cases[] = {
      {kUpdatesBundleIdentifier, false, true, 1},
      {kUpdatesBundleIdentifier, true, false, 0},
      {"app.vistarail.Vistarail", false, false, 0},
      {std::nullopt, false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bundleID.value_or("no bundle") + (c.busy ? ", busy" : ""));
    ProgramDesk desk(c.bundleID);
    desk.updaters.setBusy(c.busy);
    desk.launch();
    const Menu menu = desk.openMenu();
    const MenuItem* check = ProgramDesk::find(menu, shell::kCheckForUpdates);
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->enabled, c.enabled);
    // The main menu's item asks the same manager.
    ASSERT_TRUE(desk.application.mainMenu().has_value());
    const MenuItem& appMenuCheck = desk.application.mainMenu()->items[0].submenu[0];
    ASSERT_TRUE(appMenuCheck.validate);
    EXPECT_EQ(appMenuCheck.validate(), c.enabled);
    desk.statusBar.choose(shell::kCheckForUpdates);
    desk.dispatch.runFor(0.05);
    EXPECT_EQ(desk.updaters.state().checksShown, c.checks);
    EXPECT_EQ(desk.updaters.state().controllersMade,
              c.bundleID == kUpdatesBundleIdentifier ? 1 : 0);
  }
}

}  // namespace
}  // namespace vistarail::test
