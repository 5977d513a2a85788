// Steps a person takes in the settings window: opening it on a tab, working a
// control by its label, recording a shortcut by pressing keys, closing it;
// and the system refusing the login item or the updater.

#include <algorithm>

#include "input/key_combo.h"
#include "platform/event_taps.h"
#include "settings_ui/settings_tab.h"
#include "shell/shell_texts.h"
#include "sim_runner/scenario.h"
#include "sim_runner/session.h"
#include "sim_runner/steps.h"

namespace vistarail::simrun::steps {

namespace {

// Time for a click or a key to be handled on the program's main queue.
constexpr double kHandledSeconds = 0.01;

// The shown window, or null with the step noted as not done.
sim::SimFormHost* shownWindow(Session& s, const std::string& what) {
  ShellProgram* program = s.program();
  if (!program) {
    s.user(what + " (the program is not running)", false);
    return nullptr;
  }
  if (!program->settingsWindow().isVisible()) {
    s.user(what + " (the settings window is closed)", false);
    return nullptr;
  }
  return &program->settingsWindow();
}

// The control of the shown form named by id, else by label.
const FormControl* findControl(const FormWindow& form, const std::string& name) {
  auto byId = std::ranges::find(form.controls, name, &FormControl::id);
  if (byId != form.controls.end()) return &*byId;
  auto byLabel = std::ranges::find_if(form.controls, [&name](const FormControl& c) {
    return c.label == name && c.kind != FormControlKind::header &&
           c.kind != FormControlKind::sectionHeader && c.kind != FormControlKind::paragraph;
  });
  return byLabel == form.controls.end() ? nullptr : &*byLabel;
}

// The step's value as the control takes it: a toggle a flag, a slider a
// number, a picker, a menu or a shortcut row an index, a text field its
// text; nothing (a click, a Return) when the step gives none.
FormInput inputFor(const FormControl& control, const Json& value) {
  if (value.is_null()) return std::monostate{};
  switch (control.kind) {
    case FormControlKind::toggle:
      return value.is_boolean() ? FormInput(value.get<bool>()) : FormInput(std::monostate{});
    case FormControlKind::slider:
      return value.is_number() ? FormInput(value.get<double>()) : FormInput(std::monostate{});
    case FormControlKind::picker:
    case FormControlKind::menu: {
      // An option by its title or by its index.
      if (value.is_string()) {
        auto at = std::ranges::find(control.options, value.get<std::string>());
        return static_cast<int>(at - control.options.begin());
      }
      return value.is_number_integer() ? FormInput(value.get<int>()) : FormInput(std::monostate{});
    }
    case FormControlKind::shortcutRow:
      return value.is_number_integer() ? FormInput(value.get<int>()) : FormInput(std::monostate{});
    case FormControlKind::textField:
      return value.is_string() ? FormInput(value.get<std::string>()) : FormInput(std::monostate{});
    default:
      return std::monostate{};
  }
}

}  // namespace

void settings(Session& s, const Json& step) {
  ShellProgram* program = s.program();
  const std::string tab = step.value("tab", std::string());
  const std::string what = "opens the settings" + (tab.empty() ? "" : " on " + tab);
  if (!program) return s.user(what + " (the program is not running)", false);
  if (!program->settingsWindow().isVisible()) {
    program->chooseFromStatusMenu(shell::kSettings);
    s.desktop().dispatch.runFor(kHandledSeconds);
  }
  if (const auto chosen = settingsTabFromRaw(tab)) {
    const auto index = std::ranges::find(kAllSettingsTabs, *chosen) - kAllSettingsTabs.begin();
    program->settingsWindow().clickTab(static_cast<int>(index));
  }
  s.note("user", what);
}

void operate(Session& s, const Json& step) {
  const std::string name = step["control"];
  const Json value = step.value("value", Json());
  const std::string what =
      "sets \u201c" + name + "\u201d" + (value.is_null() ? "" : " to " + value.dump());
  sim::SimFormHost* window = shownWindow(s, what);
  if (!window) return;
  const FormControl* control = findControl(window->form(), name);
  if (!control) return s.user(what + " (no such control on this tab)", false);
  if (!control->enabled) return s.user(what + " (the control is disabled)", false);
  window->operate(control->id, inputFor(*control, value));
  s.desktop().dispatch.runFor(kHandledSeconds);
  s.note("user", what);
}

void record(Session& s, const Json& step) {
  const std::string action = step["action"];
  const std::string what = "records a shortcut for " + action;
  sim::SimFormHost* window = shownWindow(s, what);
  if (!window) return;
  const std::string row = "shortcut." + action;
  if (!window->control(row)) return s.user(what + " (not on this tab)", false);
  window->operate(row);  // the row's + button
  s.note("user", what);
  for (const Json& keys : step["presses"]) {
    const KeyPress press = *parseKeyPress(keys.get<std::string>());
    const KeyDisposition disposition =
        s.program()->keyMonitor().press(press.keyCode, eventFlagsOfMask(press.modifiers));
    s.desktop().dispatch.runFor(kHandledSeconds);
    s.note("user", "presses " + keys.get<std::string>() +
                       (disposition == KeyDisposition::consumed ? "" : " (not taken)"));
  }
  // Keys reach the window's model, not its host: the window shows the
  // outcome at its next refresh.
  s.desktop().dispatch.runFor(kSettingsRefreshSeconds);
}

void closeSettings(Session& s, const Json&) {
  sim::SimFormHost* window = shownWindow(s, "closes the settings window");
  if (!window) return;
  window->close();
  s.desktop().dispatch.runFor(kHandledSeconds);
  s.note("user", "closes the settings window");
}

void refuse(Session& s, const Json& step) {
  const std::string service = step["service"];
  const Json description =
      step.value("description", Json("The operation couldn\u2019t be completed."));
  const std::optional<std::string> refusal =
      description.is_null() ? std::nullopt
                            : std::optional<std::string>(description.get<std::string>());
  if (service == "loginItem") {
    s.loginItem().refuse(refusal);
  } else if (service == "updater") {
    // The framework's start fails from the next launch on.
    s.updaters().state().startFailure = refusal;
  } else {
    s.updaters().setBusy(refusal.has_value());
  }
  s.note("system",
         refusal ? "the " + service + " refuses: " + *refusal : "the " + service + " works again");
}

}  // namespace vistarail::simrun::steps
