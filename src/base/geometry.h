#pragma once
// Points, sizes and rectangles in global points, origin at the top-left of the
// primary display, y growing downward (the space the accessibility services use).
//
// Edge semantics: a rectangle covers [minX, maxX) x [minY, maxY). Two rectangles
// that only share an edge do not intersect. A null rectangle (see Rect::null())
// stands for "no rectangle" and is what an empty intersection yields; an infinite
// rectangle contains every finite one. Widths and heights are never negative once
// a rectangle is standardized; the constructors do not standardize, the operations
// do.

#include <cmath>
#include <iosfwd>
#include <limits>

namespace vistarail {

struct Point {
  double x = 0;
  double y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  double width = 0;
  double height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  Point origin;
  Size size;

  constexpr Rect() = default;
  constexpr Rect(Point o, Size s) : origin(o), size(s) {}
  constexpr Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}

  static Rect null();
  static Rect infinite();
  bool isNull() const;
  bool isInfinite() const;
  // Zero width or zero height (a null rectangle is also empty).
  bool isEmpty() const;

  // Same area with non-negative width and height.
  Rect standardized() const;

  double minX() const;
  double midX() const;
  double maxX() const;
  double minY() const;
  double midY() const;
  double maxY() const;
  double width() const { return std::fabs(size.width); }
  double height() const { return std::fabs(size.height); }
  Point center() const { return {midX(), midY()}; }

  // Null when the rectangles do not overlap (touching edges do not overlap).
  Rect intersection(const Rect& other) const;
  // Area of the overlap; 0 when there is none.
  double intersectionArea(const Rect& other) const;
  bool intersects(const Rect& other) const;
  // Smallest rectangle holding both; a null operand is ignored.
  Rect unionWith(const Rect& other) const;
  bool contains(Point p) const;
  bool contains(const Rect& other) const;
  // Grows by dx on the left and right and dy on top and bottom (negative shrinks).
  Rect insetBy(double dx, double dy) const;
  Rect grownBy(double d) const { return insetBy(-d, -d); }
  Rect offsetBy(double dx, double dy) const;

  friend bool operator==(const Rect&, const Rect&) = default;
};

// Screen-API rectangles have their origin at the bottom-left of the primary
// display with y growing upward. Converting keeps x, width and height and mirrors
// y against the primary display's height; the same formula converts back.
Rect flipVertically(const Rect& r, double primaryHeight);
Point flipVertically(Point p, double primaryHeight);

// Rounds half away from zero (2.5 -> 3, -2.5 -> -3), unlike the banker's
// rounding of std::nearbyint under the default mode.
double roundHalfAwayFromZero(double v);

void PrintTo(const Point& p, std::ostream* os);
void PrintTo(const Size& s, std::ostream* os);
void PrintTo(const Rect& r, std::ostream* os);
std::ostream& operator<<(std::ostream& os, const Rect& r);

}  // namespace vistarail
