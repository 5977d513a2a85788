#pragma once
// Drawing helpers for the pictures of the program's settings window: text in
// the system's sizes (wrapped to a width, measured with the real glyphs),
// rounded shapes, the system colours of a light appearance, and the symbols
// the window uses, drawn as small vector pictograms.

#include <cairo.h>

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/form.h"

namespace vistarail::sim::form {

namespace palette {
inline constexpr Color kWindow{0.925, 0.925, 0.925, 1};
inline constexpr Color kGroup{1, 1, 1, 1};
inline constexpr Color kSeparator{0, 0, 0, 0.09};
inline constexpr Color kLabel{0.1, 0.1, 0.1, 1};
inline constexpr Color kSecondary{0.45, 0.45, 0.47, 1};
inline constexpr Color kAccent{0.0, 0.48, 1.0, 1};
inline constexpr Color kGreen{0.2, 0.72, 0.33, 1};
inline constexpr Color kOrange{1.0, 0.58, 0.0, 1};
inline constexpr Color kBlue{0.0, 0.48, 1.0, 1};
inline constexpr Color kRed{0.93, 0.25, 0.22, 1};
inline constexpr Color kControl{1, 1, 1, 1};
inline constexpr Color kControlBorder{0, 0, 0, 0.18};
inline constexpr Color kTrackOff{0.85, 0.85, 0.86, 1};
}  // namespace palette

Color toneColor(FormTone tone);

struct Font {
  double size = 13;
  bool bold = false;
};

class Painter {
 public:
  explicit Painter(cairo_t* cr) : cr_(cr) {}
  cairo_t* cr() const { return cr_; }

  double textWidth(const std::string& text, Font font) const;
  // Draws one line with its top at y; returns its width.
  double text(const std::string& text, double x, double y, Font font, Color color) const;
  // Right-aligned at `right`.
  void textRight(const std::string& text, double right, double y, Font font, Color color) const;
  // Lines of at most `width`, broken at spaces (a word longer than the width
  // gets a line of its own).
  std::vector<std::string> wrap(const std::string& text, double width, Font font) const;
  // Draws the wrapped text from y; returns the height it took.
  double paragraph(const std::string& text, double x, double y, double width, Font font,
                   Color color) const;
  static double lineHeight(Font font) { return font.size * 1.3; }

  void fillRounded(const Rect& r, double radius, Color color) const;
  void strokeRounded(const Rect& r, double radius, double width, Color color) const;
  void fillCircle(Point center, double radius, Color color) const;
  void line(Point a, Point b, double width, Color color) const;

  // The named symbol in a square; unknown names draw a plain rounded square.
  void symbol(const std::string& name, const Rect& box, Color color) const;
  // An application's icon: a tile in the application's tint with its initial.
  void appIcon(const std::string& appName, const Rect& box) const;

 private:
  void select(Font font) const;
  cairo_t* cr_;
};

}  // namespace vistarail::sim::form
