#pragma once
// A simulated Mac with the settings window on it: one display, the settings
// store, the global shortcuts, a login item, key monitors and an updater,
// and the shell's answers recorded (beeps, activations, URLs opened).

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "input/key_display.h"
#include "platform/sim/adapters/sim_accessibility.h"
#include "platform/sim/adapters/sim_input.h"
#include "platform/sim/adapters/sim_key_monitor.h"
#include "platform/sim/adapters/sim_keyboard_layout.h"
#include "platform/sim/adapters/sim_login_item.h"
#include "platform/sim/adapters/sim_updater.h"
#include "platform/sim/adapters/sim_window_server.h"
#include "platform/sim/adapters/sim_text_services.h"
#include "platform/sim/adapters/sim_workspace.h"
#include "platform/sim/defaults/memory_defaults.h"
#include "platform/sim/dispatch/virtual_dispatch.h"
#include "platform/sim/world/world.h"
#include "settings_ui/settings_window.h"

namespace vistarail::test {

inline std::optional<std::string> firstDisplayID(Workspace& workspace, WindowServer& server) {
  auto displays = DisplayInfo::all(workspace, server);
  if (displays.empty()) return std::nullopt;
  return displays.front().id;
}

struct SettingsDesk {
  sim::VirtualDispatch dispatch;
  sim::World world{dispatch, 3};
  sim::SimWorkspace workspace{world};
  sim::SimWindowServer windowServer{world};
  sim::SimAccessibility ax{world};
  sim::SimHotKeys hotKeyService{world};
  sim::SimKeyboardLayout layout;
  sim::SimTextServices text;
  sim::MemoryDefaults defaults;
  sim::SimLoginItem loginItem;
  sim::SimKeyMonitor keys;
  sim::SimUpdaterFactory updaters;
  DisplayNumber builtIn = world.plugDisplay({.name = "Built-in Retina Display",
                                             .frame = {0, 0, 1512, 982},
                                             .visibleFrame = {0, 33, 1512, 880},
                                             .uuid = "0b1d2c3e-0000-4000-8000-00000000b111"});
  AppSettings settings{defaults, firstDisplayID(workspace, windowServer)};
  std::shared_ptr<HotKeyManager> hotKeys = std::make_shared<HotKeyManager>(hotKeyService, dispatch);
  std::string bundleID = kUpdatesBundleIdentifier;
  std::string bundlePath = "/Applications/Vistarail.app";
  int beeps = 0;
  int activations = 0;
  std::vector<std::string> opened;
  UpdateManager updates{updaters, [this] { return bundleID; }, [this] { ++activations; }};
  SettingsWindowController controller{context()};

  SettingsDesk() { hotKeys->registerBindings(settings.bindings.value()); }

  SettingsContext context() {
    ShellServices services = servicesFromWorkspace(workspace, windowServer);
    services.isTrusted = [this] { return ax.isProcessTrusted(TrustPrompt::none); };
    services.bundlePath = [this] { return bundlePath; };
    services.bundleIdentifier = [this] { return bundleID; };
    services.homeDirectory = [] { return std::string("/Users/ada"); };
    services.shortcutText = [this](const KeyCombo& combo) { return displayText(combo, layout, text); };
    services.versionText = [] { return std::string("1.4 (212)"); };
    services.beep = [this] { ++beeps; };
    services.activate = [this] { ++activations; };
    services.openURL = [this](const std::string& url) {
      opened.push_back(url);
      return true;
    };
    return {settings, dispatch, loginItem, keys, updates, std::move(services), [this] {
              return hotKeys.get();
            }};
  }

  SettingsWindow& open(std::optional<SettingsTab> tab = std::nullopt) {
    controller.show(tab);
    return *controller.window();
  }

  // The control of the shown tab with this id or label.
  std::optional<FormControl> control(std::string_view name) {
    for (const FormControl& c : controller.window()->describe().controls) {
      if (c.id == name || c.label == name) return c;
    }
    return std::nullopt;
  }

  std::vector<std::string> labels(FormControlKind kind) {
    std::vector<std::string> found;
    for (const FormControl& c : controller.window()->describe().controls) {
      if (c.kind == kind) found.push_back(c.label);
    }
    return found;
  }

  std::vector<std::string> texts() { return labels(FormControlKind::paragraph); }
  bool showsText(const std::string& text) {
    auto all = texts();
    return std::ranges::find(all, text) != all.end();
  }

  // Whether a global hot key for the combo is registered now.
  bool hotKeyLive(const KeyCombo& combo) const {
    for (const auto& record : world.hotKeys()) {
      if (record.keyCode == combo.keyCode && record.modifiers == combo.modifiers) return true;
    }
    return false;
  }
};

}  // namespace vistarail::test
