#include "base/geometry.h"

#include <algorithm>
#include <ostream>

namespace vistarail {

namespace {
// The infinite rectangle is a very large finite one so that arithmetic on it
// (width, mid points) stays finite, as on the platform.
constexpr double kInfiniteSize = std::numeric_limits<double>::max();
constexpr double kInfiniteMin = -kInfiniteSize / 2;
}  // namespace

Rect Rect::infinite() { return Rect(kInfiniteMin, kInfiniteMin, kInfiniteSize, kInfiniteSize); }
bool Rect::isInfinite() const { return *this == infinite(); }
bool Rect::isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

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

bool Rect::isNear(const Rect& other, double tolerance) const {
  return std::fabs(minX() - other.minX()) <= tolerance &&
         std::fabs(minY() - other.minY()) <= tolerance &&
         std::fabs(width() - other.width()) <= tolerance &&
         std::fabs(height() - other.height()) <= tolerance;
}

Rect flipVertically(const Rect& r, double primaryHeight) {
  return Rect(r.minX(), primaryHeight - r.maxY(), r.width(), r.height());
}

Point flipVertically(Point p, double primaryHeight) { return {p.x, primaryHeight - p.y}; }

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
