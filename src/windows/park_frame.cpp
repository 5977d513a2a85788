#include "windows/park_frame.h"

#include <algorithm>
#include <array>

namespace vistarail {

namespace {

// The overlap of a candidate (built with a positive size) and another
// display's frame. Runs for most windows on every animation frame while a
// strip longer than its display scrolls, so it works on the numbers directly.
double overlapArea(const Rect& candidate, const Rect& other) {
  if (other.isNull()) return 0;
  const Rect o = other.standardized();
  const double width =
      std::min(candidate.origin.x + candidate.size.width, o.origin.x + o.size.width) -
      std::max(candidate.origin.x, o.origin.x);
  const double height =
      std::min(candidate.origin.y + candidate.size.height, o.origin.y + o.size.height) -
      std::max(candidate.origin.y, o.origin.y);
  return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace

Rect parkFrame(const Rect& frame, const Rect& area, std::span<const Rect> avoid) {
  const Size size{frame.width(), frame.height()};
  const double leftX = area.minX() - size.width + kParkingSliverPoints;
  const double rightX = area.maxX() - kParkingSliverPoints;
  // Hanging below the bottom edge with one point showing keeps a window off a
  // display beside this one when the side itself is taken.
  const double laidOutY = frame.minY();
  const double bottomY = area.maxY() - kParkingSliverPoints;
  const bool leftFirst = frame.midX() < area.midX();
  const double firstX = leftFirst ? leftX : rightX;
  const double secondX = leftFirst ? rightX : leftX;
  const std::array<Rect, 4> candidates{
      Rect({firstX, laidOutY}, size), Rect({firstX, bottomY}, size),
      Rect({secondX, laidOutY}, size), Rect({secondX, bottomY}, size)};
  const Rect* best = &candidates.front();
  if (avoid.empty()) return *best;
  double bestOverlap = -1;
  for (const Rect& candidate : candidates) {
    double overlap = 0;
    for (const Rect& other : avoid) overlap += overlapArea(candidate, other);
    if (overlap == 0) return candidate;
    if (bestOverlap < 0 || overlap < bestOverlap) {
      best = &candidate;
      bestOverlap = overlap;
    }
  }
  return *best;
}

}  // namespace vistarail
