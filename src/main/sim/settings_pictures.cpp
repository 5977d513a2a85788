#include "settings_pictures.h"

#include <iostream>
#include <string>

#include "demo_desktop.h"
#include "input/key_display.h"
#include "platform/sim/adapters/desktop.h"
#include "platform/sim/adapters/sim_key_monitor.h"
#include "platform/sim/adapters/sim_keyboard_layout.h"
#include "platform/sim/adapters/sim_login_item.h"
#include "platform/sim/adapters/sim_updater.h"
#include "platform/sim/renderer/form_renderer.h"
#include "windows/window_manager.h"

namespace vistarail::simrun {

namespace {

constexpr char kUsage[] =
    "usage: vistarail-sim settings --out DIR\n"
    "  draws the settings window on the demo desktop, one picture per tab:\n"
    "  DIR/settings-general.png, -layout, -gestures, -shortcuts, -rules, -setup\n";

}  // namespace

std::optional<std::string> writeSettingsPictures(SettingsWindow& window,
                                                 const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error)
    return "could not create the folder \"" + folder.string() + "\" (" + error.message() + ")";
  for (SettingsTab tab : kAllSettingsTabs) {
    const auto path = folder / ("settings-" + std::string(rawValue(tab)) + ".png");
    if (auto failure = sim::writeFormPng(window.describe(tab), path)) return failure;
  }
  return std::nullopt;
}

int settingsCommand(int argc, char** argv) {
  std::filesystem::path out;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--out" && i + 1 < argc) {
      out = argv[++i];
      continue;
    }
    std::cerr << "vistarail-sim settings: unexpected \"" << arg << "\"\n" << kUsage;
    return 2;
  }
  if (out.empty()) {
    std::cerr << "vistarail-sim settings: --out DIR is required\n" << kUsage;
    return 2;
  }

  sim::Desktop desktop;
  sim::buildDemoDesktop(desktop.world);
  // Another window manager, so the checklist has something to flag.
  desktop.world.launchApp({.bundleIdentifier = "com.knollsoft.Rectangle", .name = "Rectangle"});
  desktop.dispatch.runFor(1.0);
  const auto displays = DisplayInfo::all(desktop.workspace, desktop.windowServer);
  AppSettings settings(desktop.defaults, displays.empty()
                                             ? std::nullopt
                                             : std::optional<std::string>(displays[0].id));
  settings.widthPresets.set({1.0 / 3, 0.45, 0.5, 2.0 / 3});
  settings.floatingBundleIDs.set({"com.apple.systempreferences", "com.apple.calculator",
                                  "com.apple.Passwords", "com.apple.Notes"});

  sim::SimKeyboardLayout layout;
  sim::SimLoginItem loginItem;
  sim::SimKeyMonitor keys;
  sim::SimUpdaterFactory updaters;
  UpdateManager updates(
      updaters, [] { return std::string(kUpdatesBundleIdentifier); }, [] {});
  updates.start();
  ShellServices services = servicesFromWorkspace(desktop.workspace, desktop.windowServer);
  services.isTrusted = [&desktop] { return desktop.ax.isProcessTrusted(TrustPrompt::none); };
  services.bundlePath = [] { return std::string("/Users/ada/Downloads/Vistarail.app"); };
  services.bundleIdentifier = [] { return std::string(kUpdatesBundleIdentifier); };
  services.homeDirectory = [] { return std::string("/Users/ada"); };
  services.shortcutText = [&layout, &desktop](const KeyCombo& combo) {
    return displayText(combo, layout, desktop.text);
  };
  services.versionText = [] { return std::string("1.0 (1)"); };
  SettingsWindowController controller(
      {settings, desktop.dispatch, loginItem, keys, updates, std::move(services), nullptr});
  controller.show(SettingsTab::general);
  if (auto failure = writeSettingsPictures(*controller.window(), out)) {
    std::cerr << "vistarail-sim settings: " << *failure << '\n';
    return 1;
  }
  std::cout << "vistarail-sim settings: wrote " << kAllSettingsTabs.size() << " pictures to "
            << out.string() << '\n';
  return 0;
}

}  // namespace vistarail::simrun
