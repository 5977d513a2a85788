#pragma once
// Carousel mode: the focused column centred at a chosen width, its two
// neighbours peeking in at the screen edges at a smaller size, and every other
// window parked just beyond the area. Scroll and slide offsets play no part.

#include <unordered_map>

#include "base/geometry.h"
#include "base/ids.h"
#include "strip/layout.h"
#include "strip/layout_geometry.h"
#include "strip/strip.h"

namespace vistarail {

struct CarouselMetrics {
  double centerWidth = 0;
  double sideWidth = 0;
  double sideHeight = 0;
  friend bool operator==(const CarouselMetrics&, const CarouselMetrics&) = default;
};

// Sizes windows were read back at after a move; a window known to be larger
// than asked is placed by its real size.
using VerifiedSizes = std::unordered_map<WindowId, Size>;

inline constexpr double kCarouselSideWidthFactor = 0.6;
inline constexpr double kCarouselSideWidthBonusPoints = 80;
inline constexpr double kParkingDistancePoints = 100;

// centerFraction and sideFraction are the carousel width and side-height
// settings. With fewer than two columns the centre takes the usable width.
CarouselMetrics carouselMetrics(const Strip& strip, const LayoutGeometry& geometry,
                                double centerFraction, double sideFraction);

// The carousel's frame list, in the same order as frames(). A strip whose
// focused index lies outside it is laid out normally at scroll 0.
void carouselFrames(const Strip& strip, const LayoutGeometry& geometry, double centerFraction,
                    double sideFraction, const VerifiedSizes& verified, FrameList& out);
FrameList carouselFrames(const Strip& strip, const LayoutGeometry& geometry, double centerFraction,
                         double sideFraction, const VerifiedSizes& verified);

}  // namespace vistarail
