#include "windows/park_frame.h"

#include <array>

namespace vistarail {

bool isOffDisplay(const Rect& frame, const Rect& displayFrame) {
  return frame.maxX() <= displayFrame.minX() + kParkingSliverPoints ||
         frame.minX() >= displayFrame.maxX() - kParkingSliverPoints;
}

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
    for (const Rect& other : avoid) overlap += candidate.intersectionArea(other);
    if (overlap == 0) return candidate;
    if (bestOverlap < 0 || overlap < bestOverlap) {
      best = &candidate;
      bestOverlap = overlap;
    }
  }
  return *best;
}

}  // namespace vistarail
