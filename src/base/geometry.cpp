#include "base/geometry.h"

#include <algorithm>
#include <ostream>

namespace vistarail {

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
// The infinite rectangle is a very large finite one so that arithmetic on it
// (width, mid points) stays finite, as on the platform.
constexpr double kInfiniteSize = std::numeric_limits<double>::max();
constexpr double kInfiniteMin = -kInfiniteSize / 2;
}  // namespace

Rect Rect::null() { return Rect(kInf, kInf, 0, 0); }
Rect Rect::infinite() { return Rect(kInfiniteMin, kInfiniteMin, kInfiniteSize, kInfiniteSize); }
bool Rect::isNull() const { return std::isinf(origin.x) || std::isinf(origin.y); }
bool Rect::isInfinite() const { return *this == infinite(); }
bool Rect::isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

Rect Rect::standardized() const {
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

double Rect::minX() const { return standardized().origin.x; }
double Rect::maxX() const {
  Rect s = standardized();
  return s.origin.x + s.size.width;
}
double Rect::midX() const {
  Rect s = standardized();
  return s.origin.x + s.size.width / 2;
}
double Rect::minY() const { return standardized().origin.y; }
double Rect::maxY() const {
  Rect s = standardized();
  return s.origin.y + s.size.height;
}
double Rect::midY() const {
  Rect s = standardized();
  return s.origin.y + s.size.height / 2;
}

Rect Rect::intersection(const Rect& other) const {
  if (isNull() || other.isNull()) return null();
  const double x0 = std::max(minX(), other.minX());
  const double y0 = std::max(minY(), other.minY());
  const double x1 = std::min(maxX(), other.maxX());
  const double y1 = std::min(maxY(), other.maxY());
  // Rectangles that only touch do not overlap: a window flush against a
  // display's edge is not partly on it.
  if (x1 <= x0 || y1 <= y0) return null();
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

double Rect::intersectionArea(const Rect& other) const {
  const Rect r = intersection(other);
  return r.isNull() ? 0.0 : r.width() * r.height();
}

bool Rect::intersects(const Rect& other) const { return !intersection(other).isNull(); }

Rect Rect::unionWith(const Rect& other) const {
  if (isNull()) return other.standardized();
  if (other.isNull()) return standardized();
  const double x0 = std::min(minX(), other.minX());
  const double y0 = std::min(minY(), other.minY());
  const double x1 = std::max(maxX(), other.maxX());
  const double y1 = std::max(maxY(), other.maxY());
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

bool Rect::contains(Point p) const {
  if (isNull()) return false;
  return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(const Rect& other) const {
  if (isNull() || other.isNull()) return false;
  return other.minX() >= minX() && other.maxX() <= maxX() && other.minY() >= minY() &&
         other.maxY() <= maxY();
}

Rect Rect::insetBy(double dx, double dy) const {
  if (isNull()) return *this;
  Rect s = standardized();
  s.origin.x += dx;
  s.origin.y += dy;
  s.size.width -= 2 * dx;
  s.size.height -= 2 * dy;
  if (s.size.width < 0 || s.size.height < 0) return null();
  return s;
}

Rect Rect::offsetBy(double dx, double dy) const {
  if (isNull()) return *this;
  return Rect(origin.x + dx, origin.y + dy, size.width, size.height);
}

Rect flipVertically(const Rect& r, double primaryHeight) {
  return Rect(r.minX(), primaryHeight - r.maxY(), r.width(), r.height());
}

Point flipVertically(Point p, double primaryHeight) { return {p.x, primaryHeight - p.y}; }

double roundHalfAwayFromZero(double v) { return std::round(v); }

void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
void PrintTo(const Size& s, std::ostream* os) { *os << s.width << "x" << s.height; }
void PrintTo(const Rect& r, std::ostream* os) {
  if (r.isNull()) {
    *os << "Rect::null";
    return;
  }
  *os << "(" << r.origin.x << ", " << r.origin.y << ", " << r.size.width << ", " << r.size.height
      << ")";
}
std::ostream& operator<<(std::ostream& os, const Rect& r) {
  PrintTo(r, &os);
  return os;
}

}  // namespace vistarail
