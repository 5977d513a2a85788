#pragma once
// The settings window: made on the first show and kept for the life of the
// process (closing only orders it out), so it opens again on the tab it was
// left on. Every control is bound straight to the settings store: a change
// takes effect and is saved at once, with no Apply or Cancel.
//
// The window is a model here; the application shows it as real views on
// macOS, and the simulator draws its description. Main queue only.

#include <memory>
#include <optional>
#include <string_view>

#include "platform/form.h"
#include "settings_ui/general_tab.h"
#include "settings_ui/rules_tab.h"
#include "settings_ui/settings_tab.h"
#include "settings_ui/setup_tab.h"
#include "settings_ui/shortcuts_tab.h"

namespace vistarail {

inline constexpr Size kSettingsContentSize{720, 560};
inline constexpr const char* kSettingsWindowTitle = "Vistarail";

// The content of the window: one model per tab.
class SettingsWindow {
 public:
  SettingsWindow(SettingsContext& context, SettingsNavigation& navigation);
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;

  Controls controls(SettingsTab tab);
  // The window showing `tab` (the selected one when absent).
  FormWindow describe(std::optional<SettingsTab> tab = std::nullopt);
  // Operates the control of the selected tab with the id `name`, else the
  // first operable one labelled `name`; false when there is none, or it is
  // disabled.
  bool operate(std::string_view name, const ControlInput& input = std::monostate{});

  GeneralTab& general() { return general_; }
  ShortcutsTab& shortcuts() { return shortcuts_; }
  RulesTab& rules() { return rules_; }
  SetupTab& setup() { return setup_; }

 private:
  SettingsContext& context_;
  SettingsNavigation& navigation_;
  GeneralTab general_;
  ShortcutsTab shortcuts_;
  RulesTab rules_;
  SetupTab setup_;
};

class SettingsWindowController {
 public:
  explicit SettingsWindowController(SettingsContext context);
  ~SettingsWindowController();
  SettingsWindowController(const SettingsWindowController&) = delete;
  SettingsWindowController& operator=(const SettingsWindowController&) = delete;

  // Selects the tab when one is given (the current one stays otherwise),
  // makes the window on first use, brings the application forward and the
  // window to the front.
  void show(std::optional<SettingsTab> tab = std::nullopt);
  // The user closed the window: it is ordered out and kept. A recording in
  // progress ends, which brings the global shortcuts back.
  void close();
  // The user clicked a tab.
  void select(SettingsTab tab) { navigation_.tab.assign(tab); }

  bool isVisible() const { return visible_; }
  SettingsWindow* window() { return window_.get(); }
  SettingsNavigation& navigation() { return navigation_; }
  int windowsMade() const { return windowsMade_; }

 private:
  void updateSetupVisibility();

  SettingsContext context_;
  SettingsNavigation navigation_;
  std::unique_ptr<SettingsWindow> window_;
  bool visible_ = false;
  int windowsMade_ = 0;
  Subscription tabChanges_;
};

}  // namespace vistarail
