#pragma once
// What the form host decides about a control, kept free of the platform's
// headers: a slider's tick marks, the colour a tone stands for, and the
// rows a shown form keeps when a new description arrives.

#include <vector>

#include "platform/form.h"

namespace vistarail::macos {

// The tick marks of a slider stepping from minimum to maximum (both ends
// included), so the knob stops only on values the program accepts; 0 for a
// slider without steps or with too many to draw (the program still snaps the
// value it is given).
inline constexpr int kMostSliderTicks = 101;
int sliderTickMarks(double minimum, double maximum, double step);

// The system colour a tone is drawn in.
enum class ToneColor { label, secondaryLabel, tertiaryLabel, green, orange, blue, red };
ToneColor toneColor(FormTone tone);

// For each control of the new form, whether the view made for the control
// at the same place in the shown form can stay as it is: the same control,
// unchanged. A text field whose text alone changed also stays (its text is
// set in place), so typing keeps the focus and the caret.
enum class RowChange { keep, setText, rebuild };
std::vector<RowChange> rowChanges(const std::vector<FormControl>& shown,
                                  const std::vector<FormControl>& next);

}  // namespace vistarail::macos
