#include <gtest/gtest.h>

#include "settings_desk.h"
#include "settings_ui/width_presets.h"

namespace vistarail {
namespace {

using test::SettingsDesk;

TEST(SettingsWindow, IsMadeOnceAndKeepsItsTab) {
  SettingsDesk desk;
  EXPECT_EQ(desk.controller.window(), nullptr);
  SettingsWindow& window = desk.open();
  EXPECT_EQ(desk.controller.navigation().tab.value(), SettingsTab::general);
  desk.controller.show(SettingsTab::setup);  // "Mac Setup…"
  desk.controller.close();
  desk.controller.show();  // "Settings…" or reopening the application
  EXPECT_EQ(desk.controller.window(), &window);
  EXPECT_EQ(desk.controller.windowsMade(), 1);
  EXPECT_EQ(desk.controller.navigation().tab.value(), SettingsTab::setup);
  EXPECT_TRUE(desk.controller.isVisible());
  EXPECT_EQ(desk.activations, 3);  // every show brings the application forward

  const FormWindow form = window.describe();
  EXPECT_EQ(form.title, "Vistarail");
  EXPECT_EQ(form.contentSize, (Size{720, 560}));
  const std::vector<FormTab> tabs = {
      {"General", "gearshape"}, {"Layout", "rectangle.split.3x1"},  {"Gestures", "hand.draw"},
      {"Shortcuts", "command"}, {"Rules", "list.bullet.rectangle"}, {"Mac Setup", "checklist"}};
  EXPECT_EQ(form.tabs, tabs);
  EXPECT_EQ(form.selectedTab, 5);
  for (SettingsTab tab : kAllSettingsTabs) EXPECT_EQ(settingsTabFromRaw(rawValue(tab)), tab);
  EXPECT_EQ(settingsTabFromRaw("Setup"), std::nullopt);

  // "Check Mac Setup" on the Gestures tab switches tabs.
  desk.controller.select(SettingsTab::gestures);
  EXPECT_TRUE(window.operate("Check Mac Setup"));
  EXPECT_EQ(desk.controller.navigation().tab.value(), SettingsTab::setup);
}

TEST(SettingsWindow, SlidersSnapToTheirStepsAndShowTheirFormats) {
  SettingsDesk desk;
  SettingsWindow& window = desk.open();
  struct Case {
    SettingsTab tab;
    const char* label;
    double dragged;
    double stored;
    const char* shown;
  };
  const Case cases[] = {
      {SettingsTab::general, "Animation speed", 5.0, 3.0, "3.0×"},
      {SettingsTab::general, "Animation speed", 1.26, 1.3, "1.3×"},
      {SettingsTab::layout, "Between windows", 12.4, 12, "12 pt"},
      {SettingsTab::layout, "At screen edges", -3, 0, "0 pt"},
      {SettingsTab::layout, "Outline width", 9, 8, "8 pt"},
      {SettingsTab::layout, "Dimming", 0.37, 0.35, "35 %"},
      {SettingsTab::layout, "Focused window width", 0.876, 0.88, "88 %"},
      {SettingsTab::layout, "Side window height", 0.2, 0.4, "40 %"},
      {SettingsTab::gestures, "Speed", 2.04, 2.0, "2.0×"},
  };
  for (const Case& c : cases) {
    desk.controller.select(c.tab);
    ASSERT_TRUE(window.operate(c.label, c.dragged)) << c.label;
    const auto slider = desk.control(c.label);
    EXPECT_DOUBLE_EQ(slider->value, c.stored) << c.label;
    EXPECT_EQ(slider->valueText, c.shown) << c.label;
  }
  EXPECT_DOUBLE_EQ(desk.defaults.number("dimAmount"), 0.35);  // saved at once
  // A toggle's input is a bool; a number does nothing to it.
  desk.controller.select(SettingsTab::layout);
  EXPECT_TRUE(window.operate("Carousel mode", true));
  EXPECT_TRUE(window.operate("Carousel mode", 0.0));
  EXPECT_TRUE(desk.settings.carouselMode.value());
}

TEST(SettingsWindow, PickersShowAndSetTheirOptions) {
  SettingsDesk desk;
  SettingsWindow& window = desk.open();
  auto picker = desk.control("When a window gets focus");
  EXPECT_EQ(picker->options,
            (std::vector<std::string>{"Always center", "Center when it doesn't fit",
                                      "Scroll just enough"}));
  EXPECT_EQ(picker->selected, 2);  // never
  window.operate("When a window gets focus", 1);
  EXPECT_EQ(desk.settings.centerMode.value(), CenterMode::onOverflow);
  EXPECT_EQ(desk.control("Width of new windows")->selected, 1);  // 0.5
  window.operate("Width of new windows", 4);
  EXPECT_EQ(desk.settings.newWindowWidth.value(), 0);
  window.operate("Width of new windows", 9);  // no such option
  EXPECT_EQ(desk.settings.newWindowWidth.value(), 0);
  desk.settings.newWindowWidth.set(0.4);
  EXPECT_EQ(desk.control("Width of new windows")->selected, -1);
  EXPECT_EQ(desk.control("Width of new windows")->valueText, "40%");
  desk.controller.select(SettingsTab::gestures);
  window.operate("Fingers", 0);
  EXPECT_EQ(desk.settings.swipeFingers.value(), 3);
  EXPECT_EQ(desk.control("Fingers")->selected, 0);
}

TEST(SettingsWindow, DisplayTogglesFollowTheConnectedDisplays) {
  SettingsDesk desk;
  SettingsWindow& window = desk.open();
  const std::string builtInID = desk.settings.managedDisplayIDs.value().at(0);
  auto builtIn = desk.control("display." + builtInID);
  EXPECT_EQ(builtIn->label, "Built-in Retina Display");
  EXPECT_EQ(builtIn->detail, "Main display · 1512 × 982");
  EXPECT_TRUE(builtIn->isOn);

  desk.world.plugDisplay({.name = "Studio Display",
                          .frame = {1512, 0, 2560, 1440},
                          .uuid = "5a1e0000-0000-4000-8000-0000000a5d10"});
  desk.dispatch.runUntilIdle();  // the screen-parameters notification
  const auto toggles = desk.labels(FormControlKind::toggle);
  EXPECT_NE(std::ranges::find(toggles, "Studio Display"), toggles.end());
  EXPECT_EQ(desk.control("display.5a1e0000-0000-4000-8000-0000000a5d10")->detail, "2560 × 1440");

  window.operate("display." + builtInID, false);
  EXPECT_TRUE(desk.settings.managedDisplayIDs.value().empty());
  EXPECT_TRUE(desk.showsText("No connected displays selected. Vistarail is idle."));
  window.operate("Studio Display", true);
  EXPECT_EQ(desk.settings.managedDisplayIDs.value(),
            std::vector<std::string>{"5a1e0000-0000-4000-8000-0000000a5d10"});
  EXPECT_FALSE(desk.showsText("No connected displays selected. Vistarail is idle."));
}

TEST(SettingsWindow, LaunchAtLoginShowsARefusalAndStaysOff) {
  SettingsDesk desk;
  SettingsWindow& window = desk.open();
  desk.loginItem.refuse("The operation couldn’t be completed. Operation not permitted");
  window.operate("Launch at login", true);
  EXPECT_FALSE(desk.control("Launch at login")->isOn);
  EXPECT_TRUE(desk.showsText("The operation couldn’t be completed. Operation not permitted"));
  EXPECT_EQ(desk.loginItem.status(), LoginItemStatus::notRegistered);

  desk.loginItem.refuse(std::nullopt);
  window.operate("Launch at login", true);
  EXPECT_TRUE(desk.control("Launch at login")->isOn);
  EXPECT_EQ(desk.loginItem.status(), LoginItemStatus::enabled);
  EXPECT_FALSE(desk.showsText("The operation couldn’t be completed. Operation not permitted"));

  // Turning it off can be refused too; the toggle shows the item is still on.
  desk.loginItem.refuse("Not allowed");
  window.operate("Launch at login", false);
  EXPECT_TRUE(desk.control("Launch at login")->isOn);
  EXPECT_TRUE(desk.showsText("Not allowed"));
}

TEST(SettingsWindow, LaunchAtLoginStartsFromTheSystemsState) {
  SettingsDesk desk;
  desk.loginItem.setStatus(LoginItemStatus::enabled);
  desk.open();
  EXPECT_TRUE(desk.control("Launch at login")->isOn);
}

}  // namespace
}  // namespace vistarail
