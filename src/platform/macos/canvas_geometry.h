#pragma once
// Geometry the canvas adapter needs before it calls the graphics library,
// which the library itself gets wrong or refuses:
// - a rounded rectangle's corner radius may be at most half the shorter side
//   (the library raises an exception for more, which would end the process
//   in the middle of drawing);
// - shadow offsets are not transformed by the context's matrix, so in a
//   flipped view (origin top-left, as every overlay view is) an offset meant
//   to point down must be given pointing up;
// - a path needs two points to be stroked.

#include <vector>

#include "base/geometry.h"

namespace vistarail::macos {

double clampedCornerRadius(const Rect& rect, double radius);
Size contextShadowOffset(Size viewOffset, bool viewIsFlipped);
bool isStrokablePath(const std::vector<Point>& points);

}  // namespace vistarail::macos
