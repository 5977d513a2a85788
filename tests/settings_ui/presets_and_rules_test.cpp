#include <gtest/gtest.h>

#include "settings_desk.h"
#include "settings_ui/rules_tab.h"
#include "settings_ui/width_presets.h"

namespace vistarail {
namespace {

using test::SettingsDesk;

std::vector<std::string> tileLabels(SettingsDesk& desk, bool onOnly = false) {
  std::vector<std::string> labels;
  for (const FormControl& c : desk.controller.window()->describe(SettingsTab::layout).controls) {
    if (c.kind == FormControlKind::tile && (!onOnly || c.isOn)) labels.push_back(c.label);
  }
  return labels;
}

TEST(WidthPresets, TilesShowTheStandardWidthsAndCustomOnes) {
  struct Case {
    std::vector<double> stored;
    std::vector<std::string> tiles;
    std::vector<std::string> on;
  };
  const Case cases[] = {
      {{0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75},
       {"25%", "33%", "40%", "50%", "60%", "67%", "75%", "100%"},
       {"25%", "33%", "50%", "67%", "75%"}},
      // A custom 45% stands between 40% and 50%.
      {{0.45, 0.5},
       {"25%", "33%", "40%", "45%", "50%", "60%", "67%", "75%", "100%"},
       {"45%", "50%"}},
      // 0.334 is the standard third, not a tile of its own, and lights it.
      {{0.334, 0.75}, {"25%", "33%", "40%", "50%", "60%", "67%", "75%", "100%"}, {"33%", "75%"}},
      // Two customs within the tolerance of each other share one tile.
      {{0.451, 0.453}, {"25%", "33%", "40%", "45%", "50%", "60%", "67%", "75%", "100%"}, {"45%"}},
  };
  for (const Case& c : cases) {
    SettingsDesk desk;
    desk.settings.widthPresets.set(c.stored);
    desk.open(SettingsTab::layout);
    EXPECT_EQ(tileLabels(desk), c.tiles);
    EXPECT_EQ(tileLabels(desk, true), c.on);
  }
}

TEST(WidthPresets, ClickingATileTogglesItsWidthButNeverTheLastOne) {
  SettingsDesk desk;
  desk.settings.widthPresets.set({0.45, 0.5});
  SettingsWindow& window = desk.open(SettingsTab::layout);
  auto tile = desk.control("45%");
  EXPECT_EQ(tile->help, "Click to stop using this width");
  EXPECT_EQ(tile->detail, "45 percent width");
  EXPECT_TRUE(window.operate("45%"));
  EXPECT_EQ(desk.settings.widthPresets.value(), std::vector<double>{0.5});
  // The custom width is gone with its tile.
  EXPECT_FALSE(desk.control("45%"));
  EXPECT_TRUE(window.operate("50%"));  // the last one stays
  EXPECT_EQ(desk.settings.widthPresets.value(), std::vector<double>{0.5});
  EXPECT_EQ(desk.control("100%")->help, "Click to use this width");
  window.operate("100%");
  EXPECT_EQ(desk.settings.widthPresets.value(), (std::vector<double>{0.5, 1.0}));
}

TEST(WidthPresets, TheCycleSentenceNamesTheShortcutsAndTheWidthsThatAreOn) {
  SettingsDesk desk;
  desk.settings.widthPresets.set({0.75, 1.0 / 3, 0.5});
  const auto text = [&desk](const KeyCombo& combo) { return displayText(combo, desk.layout, desk.text); };
  EXPECT_EQ(cycleSentence(desk.settings, text),
            "Each press of ⌃⌥R makes the focused window the next width up: 33% → 50% → 75% … "
            "⌃⌥⇧R goes back down.");
  Bindings bindings = desk.settings.bindings.value();
  bindings[Action::cycleWidthBack].clear();
  bindings[Action::cycleWidth] = {{5, kControlKeyMask | kOptionKeyMask}, {15, kCommandKeyMask}};
  desk.settings.bindings.set(bindings);
  EXPECT_EQ(cycleSentence(desk.settings, text),
            "Each press of ⌃⌥G makes the focused window the next width up: 33% → 50% → 75% …");
  bindings[Action::cycleWidth].clear();
  desk.settings.bindings.set(bindings);
  EXPECT_EQ(cycleSentence(desk.settings, text),
            "The “Cycle preset widths” shortcut makes the focused window the next width up: 33% → "
            "50% → 75% …");
}

TEST(FloatingRules, TypedIdentifiersAreTrimmedAndAddedOnce) {
  SettingsDesk desk;
  desk.settings.floatingBundleIDs.set({});
  SettingsWindow& window = desk.open(SettingsTab::rules);
  EXPECT_TRUE(desk.showsText("No apps float yet."));
  window.operate("rules.field", std::string(" \tcom.apple.Preview  "));
  window.operate("Add");
  EXPECT_EQ(desk.settings.floatingBundleIDs.value(), std::vector<std::string>{"com.apple.Preview"});
  EXPECT_EQ(desk.control("rules.field")->detail, "");  // cleared
  // Return in the field adds as the button does; a second time changes nothing.
  window.operate("rules.field", std::string("com.apple.Preview"));
  window.operate("rules.field");
  window.operate("rules.field", std::string("   "));
  window.operate("Add");
  EXPECT_EQ(desk.settings.floatingBundleIDs.value(), std::vector<std::string>{"com.apple.Preview"});
  EXPECT_FALSE(desk.showsText("No apps float yet."));
  EXPECT_EQ(trimmedIdentifier("\t a b \t"), "a b");
}

TEST(FloatingRules, RowsNameTheAppAndRemovingTakesEveryOccurrence) {
  SettingsDesk desk;
  desk.world.launchApp({.bundleIdentifier = "com.figma.Desktop", .name = "Figma.app"});
  desk.settings.floatingBundleIDs.set(
      {"com.figma.Desktop", "org.example.gone", "com.figma.Desktop"});
  SettingsWindow& window = desk.open(SettingsTab::rules);
  auto figma = desk.control("rule.com.figma.Desktop");
  EXPECT_EQ(figma->label, "Figma");  // without ".app"
  EXPECT_EQ(figma->detail, "com.figma.Desktop");
  EXPECT_EQ(figma->symbol, "");  // the application's icon
  EXPECT_EQ(figma->help, "Tile this app again");
  auto gone = desk.control("rule.org.example.gone");
  EXPECT_EQ(gone->label, "org.example.gone");
  EXPECT_EQ(gone->symbol, "app.dashed");
  window.operate("rule.com.figma.Desktop");
  EXPECT_EQ(desk.settings.floatingBundleIDs.value(), std::vector<std::string>{"org.example.gone"});
}

TEST(FloatingRules, TheRunningAppsMenuOffersRegularAppsNotListedYet) {
  SettingsDesk desk;
  desk.world.launchApp({.bundleIdentifier = "com.tinyspeck.slackmacgap", .name = "Slack"});
  desk.world.launchApp({.bundleIdentifier = "com.apple.Safari", .name = "Safari"});
  desk.world.launchApp({.bundleIdentifier = "org.mozilla.firefox", .name = "firefox"});
  desk.world.launchApp({.bundleIdentifier = "com.apple.calculator", .name = "Calculator"});
  desk.world.launchApp({.bundleIdentifier = "com.example.agent",
                        .name = "Agent",
                        .activationPolicy = ActivationPolicy::accessory});
  desk.world.launchApp({.name = "No Identifier"});
  SettingsWindow& window = desk.open(SettingsTab::rules);
  EXPECT_EQ(desk.control("Add a Running App")->options,
            (std::vector<std::string>{"firefox", "Safari", "Slack"}));
  window.operate("Add a Running App", 2);
  EXPECT_EQ(desk.settings.floatingBundleIDs.value().back(), "com.tinyspeck.slackmacgap");
  EXPECT_EQ(desk.control("Add a Running App")->options,
            (std::vector<std::string>{"firefox", "Safari"}));
  window.operate("Add a Running App", 0);
  window.operate("Add a Running App", 0);
  EXPECT_EQ(desk.control("Add a Running App")->kind, FormControlKind::menu);
  EXPECT_FALSE(desk.control("Add a Running App")->enabled);  // nothing left to add
  EXPECT_FALSE(window.operate("Add a Running App", 0));
  EXPECT_EQ(desk.settings.floatingBundleIDs.value().size(), 6u);
}

}  // namespace
}  // namespace vistarail
