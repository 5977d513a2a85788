#include "settings_ui/setup_tab.h"

namespace vistarail {

namespace {

std::string stateSymbol(SetupCheck::State state) {
  switch (state) {
    case SetupCheck::State::ok:
      return "checkmark.circle.fill";
    case SetupCheck::State::warning:
      return "exclamationmark.triangle.fill";
    case SetupCheck::State::info:
      break;
  }
  return "info.circle.fill";
}

FormTone stateTone(SetupCheck::State state) {
  switch (state) {
    case SetupCheck::State::ok:
      return FormTone::success;
    case SetupCheck::State::warning:
      return FormTone::warning;
    case SetupCheck::State::info:
      break;
  }
  return FormTone::info;
}

}  // namespace

SetupFacts gatherSetupFacts(const ShellServices& services, const AppSettings& settings) {
  SetupFacts facts;
  facts.trusted = services.isTrusted && services.isTrusted();
  if (services.bundlePath) facts.bundlePath = services.bundlePath();
  if (services.homeDirectory) facts.homeDirectory = services.homeDirectory();
  if (services.runningApplications) {
    for (const RunningApplication& app : services.runningApplications()) {
      if (!app.bundleIdentifier.empty()) facts.runningBundleIDs.push_back(app.bundleIdentifier);
    }
  }
  if (services.displays) facts.displays = services.displays();
  facts.managedDisplayIDs = settings.managedDisplayIDs.value();
  if (services.osVersion) facts.osVersion = services.osVersion();
  return facts;
}

SetupTab::SetupTab(SettingsContext& context) : context_(context) {
  fingers_ = context_.settings.swipeFingers.subscribe(
      [this](const int&) { refresh(); }, Delivery::skipCurrent, Repeats::removeDuplicates);
  refresh();
}

void SetupTab::appear() {
  refresh();
  if (timer_) return;
  timer_ = context_.dispatch.scheduleRepeating(context_.dispatch.main(), kSetupRefreshSeconds,
                                               [this] { refresh(); });
}

void SetupTab::disappear() {
  if (timer_) timer_->invalidate();
  timer_.reset();
}

void SetupTab::refresh() {
  ++refreshes_;
  rows_ = currentChecks(context_.settings.swipeFingers.value(),
                        gatherSetupFacts(context_.services, context_.settings));
}

Controls SetupTab::controls() {
  Controls c;
  const int toFix = warningCount(rows_);
  Control header;
  header.view.kind = FormControlKind::header;
  header.view.id = header.view.label = "Recommended macOS settings";
  header.view.detail = toFix > 0 ? std::to_string(toFix) + " to fix" : "Review checklist";
  header.view.tone = toFix > 0 ? FormTone::warning : FormTone::secondary;
  c.push_back(std::move(header));
  for (const SetupCheck& check : rows_) {
    Control row;
    row.view.kind = FormControlKind::checkRow;
    row.view.id = "check." + check.id;
    row.view.label = check.title;
    row.view.detail = check.detail;
    row.view.symbol = stateSymbol(check.state);
    row.view.tone = stateTone(check.state);
    if (check.hasFix()) {
      row.view.actionTitle = *check.fixTitle;
      row.act = [this, url = *check.fixURL](const ControlInput&) {
        if (context_.services.openURL) context_.services.openURL(url);
      };
    }
    c.push_back(std::move(row));
  }
  c.push_back(
      paragraph("Review the macOS settings manually in System Settings. Permission, display, and "
                "running-app checks refresh automatically.",
                FormTone::caption));
  return c;
}

}  // namespace vistarail
