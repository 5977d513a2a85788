#include "settings_ui/settings_window.h"

#include <algorithm>

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
  // An id names one control; a label may also head a section ("Carousel
  // mode"), so it names the first control of that label that can be operated.
  auto found = std::ranges::find(all, name, [](const Control& c) { return c.view.id; });
  if (found == all.end())
    found = std::ranges::find_if(
        all, [name](const Control& c) { return c.view.label == name && c.act; });
  if (found == all.end() || !found->act || !found->view.enabled) return false;
  found->act(input);
  return true;
}

SettingsWindowController::SettingsWindowController(SettingsContext context)
    : context_(std::move(context)) {
  tabChanges_ = navigation_.tab.subscribe([this](const SettingsTab&) { updateSetupVisibility(); },
                                          Delivery::skipCurrent);
}

SettingsWindowController::~SettingsWindowController() {
  tabChanges_.reset();
}

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
