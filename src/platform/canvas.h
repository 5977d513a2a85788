#pragma once
// The drawing surface a panel's view draws on, shaped after the platform's
// graphics context as views use it: rounded rectangles filled and stroked,
// ovals, open paths with caps and joins, a shadow in the saved graphics state,
// text measured and drawn with truncation, and images.
//
// Coordinates are the view's own, in points, with the origin at the top-left
// and y growing downwards (every overlay view is drawn flipped). A shadow
// offset therefore points down for positive y.

#include <memory>
#include <string>
#include <vector>

#include "base/geometry.h"

namespace vistarail {

struct Color {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;
  Color withAlpha(double a) const { return {red, green, blue, a}; }
  friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kWhite{1, 1, 1, 1};
inline constexpr Color kBlack{0, 0, 0, 1};

// The platform's semantic colours the overlays use.
struct SystemColors {
  Color controlAccent;
  Color windowBackground;
  Color label;
  friend bool operator==(const SystemColors&, const SystemColors&) = default;
};

enum class LineCap { butt, round, square };
enum class LineJoin { miter, round, bevel };
enum class CompositeOp { sourceOver, copy };
enum class FontWeight { regular, semibold };

// One run of an attributed string: system font of the given size and weight.
struct TextRun {
  std::string text;
  double fontSize = 12;
  FontWeight weight = FontWeight::regular;
  Color color = kBlack;
  friend bool operator==(const TextRun&, const TextRun&) = default;
};

// A single paragraph, centred, truncated at its tail when it does not fit.
struct AttributedText {
  std::vector<TextRun> runs;
  bool empty() const;
  std::string string() const;
  friend bool operator==(const AttributedText&, const AttributedText&) = default;
};

// An image owned by the platform (an application's icon).
class Image {
 public:
  virtual ~Image() = default;
  virtual Size size() const = 0;
};
using ImageRef = std::shared_ptr<const Image>;

class Canvas {
 public:
  virtual ~Canvas() = default;

  // The graphics state (the shadow) is saved and restored as a stack.
  virtual void saveState() = 0;
  virtual void restoreState() = 0;
  // Applies to what is drawn until the state is restored.
  virtual void setShadow(Size offset, double blurRadius, Color color) = 0;

  virtual void fillRect(const Rect& rect, Color color, CompositeOp op) = 0;
  virtual void fillRoundedRect(const Rect& rect, double radius, Color color) = 0;
  virtual void strokeRoundedRect(const Rect& rect, double radius, double lineWidth,
                                 Color color) = 0;
  virtual void fillOval(const Rect& rect, Color color) = 0;
  virtual void strokePath(const std::vector<Point>& points, double lineWidth, LineCap cap,
                          LineJoin join, Color color) = 0;

  // The size the text takes on one line, unwrapped.
  virtual Size measureText(const AttributedText& text) = 0;
  // Draws the text in the rectangle from its line-fragment origin, cutting
  // the last visible line at its tail with an ellipsis when it does not fit.
  virtual void drawText(const AttributedText& text, const Rect& rect) = 0;
  // Source-over at full opacity, high interpolation quality.
  virtual void drawImage(const ImageRef& image, const Rect& rect) = 0;
};

}  // namespace vistarail
