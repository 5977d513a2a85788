#include "platform/macos/canvas_geometry.h"

#include <algorithm>
#include <cmath>

namespace vistarail::macos {

double clampedCornerRadius(const Rect& rect, double radius) {
  if (!(radius > 0)) return 0;
  const double limit = std::min(rect.width(), rect.height()) / 2;
  if (!(limit > 0)) return 0;
  return std::min(radius, limit);
}

Size contextShadowOffset(Size viewOffset, bool viewIsFlipped) {
  return {viewOffset.width, viewIsFlipped ? -viewOffset.height : viewOffset.height};
}

bool isStrokablePath(const std::vector<Point>& points) {
  if (points.size() < 2) return false;
  return std::all_of(points.begin(), points.end(),
                     [](Point p) { return std::isfinite(p.x) && std::isfinite(p.y); });
}

}  // namespace vistarail::macos
