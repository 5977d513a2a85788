// The shortcut recorder with the whole program: the window manager's global
// shortcuts on the simulated Mac go quiet while a shortcut is recorded and
// answer with the new one as soon as it is taken.

#include <gtest/gtest.h>

#include "input/key_display.h"
#include "platform/sim/adapters/desktop.h"
#include "platform/sim/adapters/sim_key_monitor.h"
#include "platform/sim/adapters/sim_keyboard_layout.h"
#include "platform/sim/adapters/sim_login_item.h"
#include "platform/sim/adapters/sim_updater.h"
#include "settings_ui/settings_window.h"
#include "windows/window_manager.h"

namespace vistarail {
namespace {

constexpr uint32_t kKeyG = 5;
constexpr uint32_t kKeyP = 35;
constexpr uint64_t kCtrlOpt = kEventFlagControl | kEventFlagOption;

TEST(RecordingScenario, GlobalShortcutsPauseWhileRecordingAndComeBackWithTheNewOne) {
  sim::Desktop desktop(5);
  desktop.world.plugDisplay({.name = "Built-in", .frame = {0, 0, 1440, 900}});
  const Pid editor =
      desktop.world.launchApp({.bundleIdentifier = "com.example.Editor", .name = "Editor"},
                              sim::LaunchActivation::activates);
  desktop.world.openWindow(editor, {.frame = {100, 100, 700, 500}});
  const auto displays = DisplayInfo::all(desktop.workspace, desktop.windowServer);
  AppSettings settings(desktop.defaults, displays.at(0).id);
  auto manager = WindowManager::create(
      settings, desktop.defaults,
      {desktop.ax, desktop.windowServer, desktop.workspace, desktop.dispatch, desktop.links,
       desktop.hotKeys, desktop.taps, 0, [](std::string_view) {}, nullptr});
  manager->start();
  desktop.dispatch.runFor(2.0);

  sim::SimKeyboardLayout layout;
  sim::SimLoginItem loginItem;
  sim::SimKeyMonitor keys;
  sim::SimUpdaterFactory updaters;
  UpdateManager updates(
      updaters, [] { return std::string("com.example.other"); }, [] {});
  int beeps = 0;
  ShellServices services = servicesFromWorkspace(desktop.workspace, desktop.windowServer);
  services.shortcutText = [&layout, &desktop](const KeyCombo& combo) {
    return displayText(combo, layout, desktop.text);
  };
  services.beep = [&beeps] { ++beeps; };
  SettingsWindowController controller({settings, desktop.dispatch, loginItem, keys, updates,
                                       std::move(services),
                                       [&manager] { return &manager->hotKeys(); }});
  controller.show(SettingsTab::shortcuts);
  SettingsWindow& window = *controller.window();

  // Recording: ⌃⌥P, pressed anywhere, no longer pauses.
  ASSERT_TRUE(window.operate("shortcut.togglePause"));
  desktop.world.pressKey(kKeyP, kCtrlOpt);
  desktop.dispatch.runFor(0.5);
  EXPECT_TRUE(settings.enabled.value());
  EXPECT_TRUE(desktop.world.hotKeys().empty());

  // ⌃⌥G typed into the window becomes a second pause shortcut, live at once.
  EXPECT_EQ(keys.press(kKeyG, kCtrlOpt), KeyDisposition::consumed);
  desktop.world.pressKey(kKeyG, kCtrlOpt);
  desktop.dispatch.runFor(0.5);
  EXPECT_FALSE(settings.enabled.value());
  EXPECT_EQ(beeps, 0);

  // Closing the window mid-recording gives the shortcuts back: ⌃⌥P resumes.
  ASSERT_TRUE(window.operate("shortcut.retile"));
  EXPECT_TRUE(desktop.world.hotKeys().empty());
  controller.close();
  desktop.world.pressKey(kKeyP, kCtrlOpt);
  desktop.dispatch.runFor(0.5);
  EXPECT_TRUE(settings.enabled.value());
  EXPECT_EQ(settings.bindings.value().at(Action::retile), defaultBindings().at(Action::retile));
  EXPECT_EQ(keys.installed(), 0u);

  bool stopped = false;
  manager->stop([&stopped] { stopped = true; });
  desktop.dispatch.runFor(6.0);
  EXPECT_TRUE(stopped);
}

}  // namespace
}  // namespace vistarail
