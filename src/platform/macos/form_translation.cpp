#include "platform/macos/form_translation.h"

#include <cmath>

namespace vistarail::macos {

int sliderTickMarks(double minimum, double maximum, double step) {
  if (!(step > 0) || !(maximum > minimum) || !std::isfinite(maximum - minimum)) return 0;
  // 0.95 - 0.5 over 0.01 is 44.999...: steps are counted to the nearest.
  const double steps = std::round((maximum - minimum) / step);
  if (steps + 1 > kMostSliderTicks) return 0;
  return static_cast<int>(steps) + 1;
}

ToneColor toneColor(FormTone tone) {
  switch (tone) {
    case FormTone::primary:
      return ToneColor::label;
    case FormTone::secondary:
      return ToneColor::secondaryLabel;
    case FormTone::caption:
      return ToneColor::tertiaryLabel;
    case FormTone::success:
      return ToneColor::green;
    case FormTone::warning:
      return ToneColor::orange;
    case FormTone::info:
      return ToneColor::blue;
    case FormTone::error:
      return ToneColor::red;
  }
  return ToneColor::label;
}

std::vector<RowChange> rowChanges(const std::vector<FormControl>& shown,
                                  const std::vector<FormControl>& next) {
  std::vector<RowChange> changes;
  changes.reserve(next.size());
  for (size_t i = 0; i < next.size(); ++i) {
    if (i >= shown.size()) {
      changes.push_back(RowChange::rebuild);
      continue;
    }
    const FormControl& was = shown[i];
    const FormControl& now = next[i];
    if (was == now) {
      changes.push_back(RowChange::keep);
      continue;
    }
    FormControl textless = was;
    textless.detail = now.detail;
    const bool onlyText = now.kind == FormControlKind::textField && textless == now;
    changes.push_back(onlyText ? RowChange::setText : RowChange::rebuild);
  }
  return changes;
}

}  // namespace vistarail::macos
