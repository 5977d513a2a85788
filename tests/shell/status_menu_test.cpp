// The status item's menu and what each of its rows does.

#include "input/key_display.h"
#include "shell/version_text.h"
#include "shell_desk.h"

namespace vistarail::test {
namespace {

using ::testing::ElementsAre;

TEST(StatusMenu, PausingFromTheMenuLetsGoOfTheWindowsAndSaysSoEverywhere) {
  ShellDesk desk;
  const Pid pid = desk.launchApp("Editor");
  std::vector<sim::WindowKey> windows;
  for (int i = 0; i < 3; ++i)
    windows.push_back(desk.world.openWindow(pid, {.frame = {100, 100, 800, 500}}));
  desk.launch(3.0);
  ASSERT_FALSE(desk.inView(windows[0]));  // parked

  desk.choose(shell::kPause, 3.0);
  EXPECT_FALSE(desk.settings->enabled.value());
  EXPECT_EQ(desk.symbol(), shell::kSymbolInactive);
  EXPECT_TRUE(desk.icon().appearsDisabled);
  EXPECT_EQ(desk.icon().toolTip, "Vistarail \u2014 Paused");
  for (auto key : windows) EXPECT_TRUE(desk.inView(key));
  const Menu paused = desk.openMenu();
  EXPECT_EQ(ShellDesk::rows(paused)[0], "(Paused)");
  EXPECT_EQ(ShellDesk::rows(paused)[2], "Resume Vistarail\t\u2303\u2325P");

  desk.choose(shell::kResume, 3.0);
  EXPECT_TRUE(desk.settings->enabled.value());
  EXPECT_EQ(desk.symbol(), shell::kSymbolActive);
  EXPECT_FALSE(desk.icon().appearsDisabled);
  EXPECT_EQ(desk.icon().toolTip, "Vistarail \u2014 Running \u2014 3 windows on 1 display");
  EXPECT_FALSE(desk.inView(windows[0]));  // the strip is back, with its parking
}

struct ShortcutCase {
  const char* name;
  std::vector<KeyCombo> combos;
  const char* shown;  // empty: the plain title
};

TEST(StatusMenu, ShowsTheFirstShortcutBoundToEachActionAndNoKeyEquivalent) {
  const KeyCombo ctrlOptP{35, kControlKeyMask | kOptionKeyMask};
  const KeyCombo f5{96, 0};
  const std::vector<ShortcutCase> cases = {
      {"none bound", {}, ""},
      {"one bound", {f5}, "F5"},
      {"two bound", {ctrlOptP, f5}, "\u2303\u2325P"},
  };
  for (const ShortcutCase& c : cases) {
    SCOPED_TRACE(c.name);
    ShellDesk desk;
    desk.launch();
    Bindings bindings = desk.settings->bindings.value();
    bindings[Action::togglePause] = c.combos;
    desk.settings->bindings.set(bindings);

    const Menu menu = desk.openMenu();
    const MenuItem* pause = ShellDesk::find(menu, shell::kPause);
    ASSERT_NE(pause, nullptr);
    EXPECT_EQ(pause->title, "Pause Vistarail");
    EXPECT_EQ(pause->keyEquivalent, "");
    if (*c.shown == '\0') {
      EXPECT_TRUE(pause->attributedTitle.empty());
    } else {
      EXPECT_THAT(pause->attributedTitle,
                  ElementsAre(MenuTextRun{"Pause Vistarail\t", LabelColor::label},
                              MenuTextRun{c.shown, LabelColor::secondaryLabel}));
    }
  }
}

TEST(StatusMenu, RowsFollowTheStateEachTimeTheMenuOpens) {
  ShellDesk desk;
  desk.launch();
  desk.updates.canCheck = false;
  Bindings none = desk.settings->bindings.value();
  for (Action a : {Action::togglePause, Action::retile, Action::toggleCarousel}) none[a] = {};
  desk.settings->bindings.set(none);
  EXPECT_THAT(ShellDesk::rows(desk.openMenu()),
              ElementsAre("(Running \u2014 0 windows on 1 display)", "\u2014", "Pause Vistarail",
                          "Re-tile Windows", "Carousel Mode", "\u2014", "Mac Setup\u2026",
                          "Settings\u2026", "About Vistarail\u2026", "(Check for Updates\u2026)",
                          "Privacy Policy\u2026", "\u2014", "Quit Vistarail"));

  desk.updates.canCheck = true;
  desk.choose(shell::kCarousel);
  EXPECT_TRUE(desk.settings->carouselMode.value());
  const Menu menu = desk.openMenu();
  EXPECT_EQ(ShellDesk::rows(menu)[4], "\u2713 Carousel Mode");
  EXPECT_EQ(ShellDesk::rows(menu)[9], "Check for Updates\u2026");
  EXPECT_EQ(ShellDesk::find(menu, shell::kSettings)->keyEquivalent, ",");
  EXPECT_EQ(ShellDesk::find(menu, shell::kQuit)->keyEquivalent, "q");

  // A disabled row does nothing when chosen.
  desk.updates.canCheck = false;
  desk.choose(shell::kCheckForUpdates);
  EXPECT_EQ(desk.updates.checks, 0);
  desk.updates.canCheck = true;
  desk.choose(shell::kCheckForUpdates);
  EXPECT_EQ(desk.updates.checks, 1);
}

TEST(StatusMenu, SettingsRowsAndReopeningKeepTheWindowsTab) {
  ShellDesk desk;
  desk.launch();
  desk.choose(shell::kMacSetup);
  EXPECT_EQ(desk.settingsWindow.page, SettingsPage::setup);
  desk.choose(shell::kSettings);
  EXPECT_EQ(desk.settingsWindow.page, SettingsPage::setup);
  desk.application.reopen();
  desk.dispatch.runFor(0.01);
  EXPECT_EQ(desk.settingsWindow.page, SettingsPage::setup);
  EXPECT_THAT(desk.settingsWindow.requests,
              ElementsAre(SettingsPage::setup, std::nullopt, std::nullopt));

  desk.choose(shell::kAbout);
  EXPECT_EQ(desk.application.activations(), 1);
  EXPECT_EQ(desk.application.aboutPanelsShown(), 1);
}

struct PolicyCase {
  const char* name;
  bool hasResource;
  bool opens;
  bool alert;
};

TEST(StatusMenu, ThePrivacyPolicyOpensOrAnAlertSaysWhy) {
  for (const PolicyCase& c :
       {PolicyCase{"opens", true, true, false}, PolicyCase{"missing resource", false, true, true},
        PolicyCase{"refused", true, false, true}}) {
    SCOPED_TRACE(c.name);
    ShellDesk desk;
    if (c.hasResource) {
      desk.bundle.setup().resources["PrivacyPolicy.html"] =
          "file:///Applications/Vistarail.app/Contents/Resources/PrivacyPolicy.html";
    }
    desk.world.setOpenURLAnswer(c.opens);
    desk.launch();
    desk.choose(shell::kPrivacyPolicy);
    if (c.hasResource) {
      EXPECT_THAT(desk.world.openedURLs(),
                  ElementsAre(desk.bundle.setup().resources["PrivacyPolicy.html"]));
    }
    if (c.alert) {
      ASSERT_EQ(desk.alerts.shown().size(), 1u);
      EXPECT_EQ(
          desk.alerts.shown()[0].alert,
          (Alert{"The privacy policy could not be opened.", "Try opening Vistarail again.", {}}));
    } else {
      EXPECT_TRUE(desk.alerts.shown().empty());
    }
  }
}

TEST(StatusMenu, WithoutTheSlashedSymbolThePlainOneShowsDimmed) {
  ShellDesk desk;
  desk.statusBar.setMissingSymbols({shell::kSymbolInactive});
  desk.world.setTrusted(false);
  desk.launch();
  EXPECT_EQ(desk.symbol(), shell::kSymbolActive);
  EXPECT_TRUE(desk.icon().image->isTemplate);
  EXPECT_TRUE(desk.icon().appearsDisabled);
}

TEST(MainMenu, HoldsTheApplicationAndEditMenusWithTheirKeys) {
  ShellDesk desk;
  desk.launch();
  ASSERT_TRUE(desk.application.mainMenu());
  std::vector<std::string> rows;
  for (const MenuItem& top : desk.application.mainMenu()->items) {
    for (const MenuItem& item : top.submenu) {
      if (item.isSeparator) {
        rows.push_back(top.submenuTitle + ": \u2014");
        continue;
      }
      std::string keys =
          modifierSymbols((item.keyEquivalentModifiers & kMenuShiftKey ? kShiftKeyMask : 0) |
                          (item.keyEquivalentModifiers & kMenuCommandKey ? kCommandKeyMask : 0));
      rows.push_back(top.submenuTitle + ": " + item.title + " " + item.selector +
                     (item.keyEquivalent.empty() ? "" : " " + keys + item.keyEquivalent));
    }
  }
  EXPECT_THAT(
      rows, ElementsAre("Vistarail: Check for Updates\u2026 checkForUpdates:", "Vistarail: \u2014",
                        "Vistarail: Quit Vistarail terminate: \u2318q", "Edit: Undo undo: \u2318z",
                        "Edit: Redo redo: \u21e7\u2318z", "Edit: \u2014", "Edit: Cut cut: \u2318x",
                        "Edit: Copy copy: \u2318c", "Edit: Paste paste: \u2318v",
                        "Edit: Select All selectAll: \u2318a"));

  desk.updates.canCheck = false;
  desk.application.chooseMainMenuItem("Vistarail", shell::kCheckForUpdates);
  desk.dispatch.runFor(0.01);
  EXPECT_EQ(desk.updates.checks, 0);
  desk.updates.canCheck = true;
  desk.application.chooseMainMenuItem("Vistarail", shell::kCheckForUpdates);
  desk.dispatch.runFor(0.01);
  EXPECT_EQ(desk.updates.checks, 1);
}

TEST(VersionText, ShowsBothVersionsOrADashForEach) {
  struct Case {
    PropertyList info;
    const char* text;
  };
  const std::vector<Case> cases = {
      {{{"CFBundleShortVersionString", "1.4"}, {"CFBundleVersion", "212"}}, "1.4 (212)"},
      {{{"CFBundleShortVersionString", "1.4"}}, "1.4 (\u2014)"},
      {{{"CFBundleShortVersionString", 1.4}, {"CFBundleVersion", "212"}}, "\u2014 (212)"},
      {PropertyList::object(), "\u2014 (\u2014)"},
  };
  for (const Case& c : cases) {
    sim::SimBundle bundle({.info = c.info});
    EXPECT_EQ(versionText(bundle), c.text) << c.info.dump();
  }
}

}  // namespace
}  // namespace vistarail::test
