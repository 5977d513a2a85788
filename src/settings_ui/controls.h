#pragma once
// A control of the settings window bound to what it edits: how it looks now
// (a FormControl) and what operating it does. Every tab lists its controls
// this way, so one mechanism draws them, and one operates any of them by its
// label or id: a toggle takes a bool, a slider a number (snapped to its step
// and range, as dragging the knob does), a picker the index of an option, a
// text field its text, and a button, a tile or a Return in a field nothing.

#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "app/setting.h"
#include "platform/form.h"

namespace vistarail {

using ControlInput = FormInput;

struct Control {
  FormControl view;
  std::function<void(const ControlInput&)> act;  // empty for what cannot be operated
};

using Controls = std::vector<Control>;

// Formats a slider's value.
using ValueFormat = std::function<std::string(double)>;
std::string timesFormat(double value);    // "1.8×"
std::string pointsFormat(double value);   // "8 pt"
std::string percentFormat(double value);  // "35 %" for 0.35

// The value a slider takes when dragged to `value`: on a step from the
// minimum, within the range.
double snapToStep(double value, double minimum, double maximum, double step);

Control sectionHeader(std::string title);
Control paragraph(std::string text, FormTone tone = FormTone::secondary);
Control toggle(std::string label, Setting<bool>& setting, std::string detail = {});
Control slider(std::string label, Setting<double>& setting, double minimum, double maximum,
               double step, const ValueFormat& format);
Control button(std::string label, std::function<void()> action, std::string help = {});

template <class T>
Control picker(std::string label, Setting<T>& setting,
               const std::vector<std::pair<std::string, T>>& options,
               std::function<bool(const T&, const T&)> same = std::equal_to<T>()) {
  Control control;
  control.view.kind = FormControlKind::picker;
  control.view.id = label;
  control.view.label = std::move(label);
  for (size_t i = 0; i < options.size(); ++i) {
    control.view.options.push_back(options[i].first);
    if (same(options[i].second, setting.value())) control.view.selected = static_cast<int>(i);
  }
  std::vector<T> values;
  for (const auto& option : options) values.push_back(option.second);
  control.act = [&setting, values](const ControlInput& input) {
    const int* index = std::get_if<int>(&input);
    if (!index || *index < 0 || *index >= static_cast<int>(values.size())) return;
    setting.set(values[*index]);
  };
  return control;
}

}  // namespace vistarail
