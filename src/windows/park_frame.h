#pragma once
// Parking: a column scrolled wholly out of view is moved off its display with
// a one-point sliver left inside the edge, so that the window server keeps it
// on the current Space and it can slide back at once.

#include <span>

#include "base/geometry.h"

namespace vistarail {

inline constexpr double kParkingSliverPoints = 1.0;

// A laid-out frame lies wholly left or right of the display's full frame
// (within the sliver's tolerance). Inline: asked of every window on every
// animation frame.
inline bool isOffDisplay(const Rect& frame, const Rect& displayFrame) {
  return frame.maxX() <= displayFrame.minX() + kParkingSliverPoints ||
         frame.minX() >= displayFrame.maxX() - kParkingSliverPoints;
}

// Where to park a window: same size, one point inside the left or right edge
// of the area (the nearer side first), at its laid-out height or one point
// above the bottom edge; among those the first that overlaps none of the
// other displays, else the one overlapping them least.
Rect parkFrame(const Rect& frame, const Rect& area, std::span<const Rect> avoid);

}  // namespace vistarail
