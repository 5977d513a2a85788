#include "settings_ui/controls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vistarail {

std::string timesFormat(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f×", value);
  return text;
}

std::string pointsFormat(double value) {
  return std::to_string(std::llround(value)) + " pt";
}

std::string percentFormat(double value) {
  return std::to_string(std::llround(value * 100)) + " %";
}

double snapToStep(double value, double minimum, double maximum, double step) {
  if (!std::isfinite(value)) return minimum;
  double snapped = step > 0 ? minimum + std::round((value - minimum) / step) * step : value;
  // Steps of a tenth add up to 0.30000000000000004; keep the decimals the
  // step has, so the stored value reads as the one shown.
  snapped = std::round(snapped * 1e9) / 1e9;
  return std::clamp(snapped, minimum, maximum);
}

Control sectionHeader(std::string title) {
  Control control;
  control.view.kind = FormControlKind::sectionHeader;
  control.view.id = "section." + title;
  control.view.label = std::move(title);
  return control;
}

Control paragraph(std::string text, FormTone tone) {
  Control control;
  control.view.kind = FormControlKind::paragraph;
  control.view.label = std::move(text);
  control.view.tone = tone;
  return control;
}

Control toggle(std::string label, Setting<bool>& setting, std::string detail) {
  Control control;
  control.view.kind = FormControlKind::toggle;
  control.view.id = label;
  control.view.label = std::move(label);
  control.view.detail = std::move(detail);
  control.view.isOn = setting.value();
  control.act = [&setting](const ControlInput& input) {
    if (const bool* on = std::get_if<bool>(&input)) setting.set(*on);
  };
  return control;
}

Control slider(std::string label, Setting<double>& setting, double minimum, double maximum,
               double step, const ValueFormat& format) {
  Control control;
  control.view.kind = FormControlKind::slider;
  control.view.id = label;
  control.view.label = std::move(label);
  control.view.value = setting.value();
  control.view.minimum = minimum;
  control.view.maximum = maximum;
  control.view.step = step;
  control.view.valueText = format(setting.value());
  control.act = [&setting, minimum, maximum, step](const ControlInput& input) {
    if (const double* value = std::get_if<double>(&input))
      setting.set(snapToStep(*value, minimum, maximum, step));
  };
  return control;
}

Control button(std::string label, std::function<void()> action, std::string help) {
  Control control;
  control.view.kind = FormControlKind::button;
  control.view.id = label;
  control.view.label = std::move(label);
  control.view.help = std::move(help);
  control.act = [action = std::move(action)](const ControlInput&) { action(); };
  return control;
}

}  // namespace vistarail
