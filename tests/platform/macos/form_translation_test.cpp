#include "platform/macos/form_translation.h"

#include <gtest/gtest.h>

namespace vistarail::macos {
namespace {

TEST(FormTranslation, SlidersTickOnEveryStepBothEndsIncluded) {
  struct Case {
    double minimum, maximum, step;
    int ticks;
  };
  const Case cases[] = {
      {0.5, 3.0, 0.1, 26},    // animation speed, counted to the nearest step
      {0, 40, 1, 41},         // gaps
      {0.5, 0.95, 0.01, 46},  // 44.999... steps
      {0.1, 0.8, 0.05, 15},   // dimming
      {1, 8, 1, 8},           // outline width
      {0, 1, 0, 0},           // no step: continuous
      {0, 1, -0.1, 0},        // a step the wrong way
      {1, 1, 0.1, 0},         // no range
      {0, 1000, 1, 0},        // too many to draw
      {0, 100, 1, 101},       // as many as drawn
  };
  for (const Case& c : cases)
    EXPECT_EQ(sliderTickMarks(c.minimum, c.maximum, c.step), c.ticks)
        << c.minimum << "..." << c.maximum << " by " << c.step;
}

TEST(FormTranslation, TonesHaveTheirColours) {
  EXPECT_EQ(toneColor(FormTone::primary), ToneColor::label);
  EXPECT_EQ(toneColor(FormTone::secondary), ToneColor::secondaryLabel);
  EXPECT_EQ(toneColor(FormTone::caption), ToneColor::tertiaryLabel);
  EXPECT_EQ(toneColor(FormTone::success), ToneColor::green);
  EXPECT_EQ(toneColor(FormTone::warning), ToneColor::orange);
  EXPECT_EQ(toneColor(FormTone::info), ToneColor::blue);
  EXPECT_EQ(toneColor(FormTone::error), ToneColor::red);
}

FormControl control(FormControlKind kind, std::string id, std::string detail = {}) {
  FormControl c;
  c.kind = kind;
  c.id = std::move(id);
  c.label = c.id;
  c.detail = std::move(detail);
  return c;
}

TEST(FormTranslation, UnchangedRowsStayAndTypingKeepsTheField) {
  const std::vector<FormControl> shown = {
      control(FormControlKind::toggle, "Carousel mode"),
      control(FormControlKind::textField, "rules.field", "com.app"),
      control(FormControlKind::button, "Add"),
  };
  std::vector<FormControl> next = shown;
  next[1].detail = "com.apple";  // one more character typed
  next[2].enabled = false;
  next.push_back(control(FormControlKind::paragraph, "No apps float yet."));
  EXPECT_EQ(rowChanges(shown, next),
            (std::vector<RowChange>{RowChange::keep, RowChange::setText, RowChange::rebuild,
                                    RowChange::rebuild}));

  // Only a text field keeps its view for a new text; another field at the
  // same place, or a label whose detail changed, is made again.
  std::vector<FormControl> other = shown;
  other[0].detail = "now with a line";
  other[1].id = "another.field";
  other[1].detail = "x";
  EXPECT_EQ(rowChanges(shown, other),
            (std::vector<RowChange>{RowChange::rebuild, RowChange::rebuild, RowChange::keep}));

  // Fewer rows: the rest go (the host removes what the list does not cover).
  EXPECT_EQ(rowChanges(shown, {shown[0]}), std::vector<RowChange>{RowChange::keep});
  EXPECT_TRUE(rowChanges(shown, {}).empty());
}

}  // namespace
}  // namespace vistarail::macos
