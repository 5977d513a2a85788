#include "settings_ui/settings_window.h"

#include "settings_ui/layout_tab.h"

namespace vistarail {

SettingsWindow::SettingsWindow(SettingsContext& context, SettingsNavigation& navigation)
    : context_(context),
      navigation_(navigation),
      general_(context),
      shortcuts_(context),
      rules_(context),
      setup_(context) {}

Controls SettingsWindow::controls(SettingsTab tab) {
  switch (tab) {
    case SettingsTab::general:
      return general_.controls();
    case SettingsTab::layout:
      return layoutControls(context_);
    case SettingsTab::gestures:
      return gestureControls(context_, [this] { navigation_.tab.assign(SettingsTab::setup); });
    case SettingsTab::shortcuts:
      return shortcuts_.controls();
    case SettingsTab::rules:
      return rules_.controls();
    case SettingsTab::setup:
      break;
  }
  return setup_.controls();
}

FormWindow SettingsWindow::describe(std::optional<SettingsTab> tab) {
  const SettingsTab shown = tab.value_or(navigation_.tab.value());
  FormWindow form;
  form.title = kSettingsWindowTitle;
  form.contentSize = kSettingsContentSize;
  for (SettingsTab each : kAllSettingsTabs)
    form.tabs.push_back({std::string(label(each)), std::string(symbolName(each))});
  form.selectedTab = static_cast<int>(shown);
  for (Control& control : controls(shown)) form.controls.push_back(std::move(control.view));
  return form;
}

bool SettingsWindow::operate(std::string_view name, const ControlInput& input) {
  Controls all = controls(navigation_.tab.value());
  for (Control& control : all) {
    if (control.view.id != name && control.view.label != name) continue;
    if (!control.act || !control.view.enabled) return false;
    control.act(input);
    return true;
  }
  return false;
}

SettingsWindowController::SettingsWindowController(SettingsContext context)
    : context_(std::move(context)) {
  tabChanges_ = navigation_.tab.subscribe([this](const SettingsTab&) { updateSetupVisibility(); },
                                          Delivery::skipCurrent);
}

SettingsWindowController::~SettingsWindowController() { tabChanges_.reset(); }

void SettingsWindowController::show(std::optional<SettingsTab> tab) {
  if (tab) navigation_.tab.assign(*tab);
  if (!window_) {
    window_ = std::make_unique<SettingsWindow>(context_, navigation_);
    ++windowsMade_;
  }
  if (context_.services.activate) context_.services.activate();
  visible_ = true;
  updateSetupVisibility();
}

void SettingsWindowController::close() {
  if (!window_ || !visible_) return;
  visible_ = false;
  window_->shortcuts().endRecording();
  updateSetupVisibility();
}

void SettingsWindowController::updateSetupVisibility() {
  if (!window_) return;
  const bool shown = visible_ && navigation_.tab.value() == SettingsTab::setup;
  if (shown && !window_->setup().isShown()) window_->setup().appear();
  if (!shown) window_->setup().disappear();
}

}  // namespace vistarail
