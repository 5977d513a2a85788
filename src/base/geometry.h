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

#include <algorithm>
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

  // Defined below, inline: the layout calls these for every window on every
  // animation frame.
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
  // Each edge within `tolerance` of the other's: the same frame as far as a
  // window's rounding goes.
  bool isNear(const Rect& other, double tolerance) const;

  friend bool operator==(const Rect&, const Rect&) = default;
};

inline Rect Rect::null() {
  constexpr double inf = std::numeric_limits<double>::infinity();
  return Rect(inf, inf, 0, 0);
}

inline bool Rect::isNull() const {
  return std::isinf(origin.x) || std::isinf(origin.y);
}

inline Rect Rect::standardized() const {
  if (isNull()) return *this;
  Rect r = *this;
  if (r.size.width < 0) {
    r.origin.x += r.size.width;
    r.size.width = -r.size.width;
  }
  if (r.size.height < 0) {
    r.origin.y += r.size.height;
    r.size.height = -r.size.height;
  }
  return r;
}

inline double Rect::minX() const {
  return standardized().origin.x;
}
inline double Rect::maxX() const {
  const Rect s = standardized();
  return s.origin.x + s.size.width;
}
inline double Rect::midX() const {
  const Rect s = standardized();
  return s.origin.x + s.size.width / 2;
}
inline double Rect::minY() const {
  return standardized().origin.y;
}
inline double Rect::maxY() const {
  const Rect s = standardized();
  return s.origin.y + s.size.height;
}
inline double Rect::midY() const {
  const Rect s = standardized();
  return s.origin.y + s.size.height / 2;
}

inline Rect Rect::intersection(const Rect& other) const {
  if (isNull() || other.isNull()) return null();
  const Rect a = standardized();
  const Rect b = other.standardized();
  const double x0 = std::max(a.origin.x, b.origin.x);
  const double y0 = std::max(a.origin.y, b.origin.y);
  const double x1 = std::min(a.origin.x + a.size.width, b.origin.x + b.size.width);
  const double y1 = std::min(a.origin.y + a.size.height, b.origin.y + b.size.height);
  // Rectangles that only touch do not overlap: a window flush against a
  // display's edge is not partly on it.
  if (x1 <= x0 || y1 <= y0) return null();
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

inline double Rect::intersectionArea(const Rect& other) const {
  const Rect r = intersection(other);
  return r.isNull() ? 0.0 : r.width() * r.height();
}

// Screen-API rectangles have their origin at the bottom-left of the primary
// display with y growing upward. Converting keeps x, width and height and mirrors
// y against the primary display's height; the same formula converts back.
Rect flipVertically(const Rect& r, double primaryHeight);
Point flipVertically(Point p, double primaryHeight);

// Rounds half away from zero (2.5 -> 3, -2.5 -> -3), unlike the banker's
// rounding of std::nearbyint under the default mode; the same result as
// std::round, signed zeros included. Inline and without the library call:
// the layout rounds every edge of every window on every animation frame.
inline double roundHalfAwayFromZero(double v) {
  // From 2^52 on every double is whole; NaN and the infinities fail the test.
  if (!(std::fabs(v) < 4503599627370496.0)) return v;
  double whole = static_cast<double>(static_cast<long long>(v));  // towards zero
  const double rest = v - whole;                                  // exact
  if (rest >= 0.5) whole += 1;
  if (rest <= -0.5) whole -= 1;
  return std::copysign(whole, v);
}

void PrintTo(const Point& p, std::ostream* os);
void PrintTo(const Size& s, std::ostream* os);
void PrintTo(const Rect& r, std::ostream* os);
std::ostream& operator<<(std::ostream& os, const Rect& r);

}  // namespace vistarail
