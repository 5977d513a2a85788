#include "strip/carousel.h"

#include <algorithm>
#include <cmath>

#include "strip/height_share.h"

namespace vistarail {

namespace {

const Size* findSize(const VerifiedSizes& verified, WindowId window) {
  const auto it = verified.find(window);
  return it == verified.end() ? nullptr : &it->second;
}

struct CarouselPlacement {
  const LayoutGeometry& geometry;
  const CarouselMetrics& metrics;
  const VerifiedSizes& verified;
  double usableHeight;
  double top;
  double left;
  double rightEdge;

  // The focused stack, centred vertically; each window centred by its real
  // width when that is known to be wider than asked.
  void placeFocused(WindowFrame* frame, int n) const {
    const double gap = detail::stackGap(geometry, n);
    double stack = gap * (n - 1);
    for (int j = 0; j < n; ++j) stack += frame[j].frame.size.height;
    double y = top + roundHalfAwayFromZero(std::max((usableHeight - stack) * 0.5, 0.0));
    for (int j = 0; j < n; ++j) {
      WindowFrame& f = frame[j];
      const Size* real = findSize(verified, f.window);
      const double shownWidth =
          real ? std::max(real->width, metrics.centerWidth) : std::max(metrics.centerWidth, 0.0);
      const double x =
          std::max(roundHalfAwayFromZero(geometry.area.midX() - shownWidth * 0.5), left);
      const double h = f.frame.size.height;
      f.frame = Rect(x, roundHalfAwayFromZero(y), metrics.centerWidth, h);
      y += gap + h;
    }
  }

  // A neighbour's active window, at the margin on its side, centred
  // vertically by its real height when known.
  void placeNeighbour(WindowFrame& f, const Strip& strip, bool onLeft) const {
    const Size* real = findSize(verified, f.window);
    const Size known = real ? *real : Size{0, 0};
    const auto preferred = strip.preferredHeights.find(f.window);
    const double wanted =
        preferred != strip.preferredHeights.end() ? preferred->second : usableHeight;
    const double h = std::min(wanted, metrics.sideHeight);
    const double shownWidth = std::max(known.width, metrics.sideWidth);
    const double shownHeight = std::max(known.height, h);
    const double x = onLeft ? left : rightEdge - shownWidth;
    const double y = std::max(roundHalfAwayFromZero(top + (usableHeight - shownHeight) * 0.5), top);
    f.frame = Rect(x, y, metrics.sideWidth, h);
  }

  void park(WindowFrame& f, double columnWidthPoints, bool onLeft) const {
    const double x = onLeft ? geometry.area.minX() - columnWidthPoints - kParkingDistancePoints
                            : geometry.area.maxX() + kParkingDistancePoints;
    f.frame = Rect(x, top, columnWidthPoints, f.frame.size.height);
  }
};

}  // namespace

CarouselMetrics carouselMetrics(const Strip& strip, const LayoutGeometry& geometry,
                                double centerFraction, double sideFraction) {
  const double usableWidth = geometry.usableWidth();
  const double usableHeight = geometry.usableHeight();
  if (strip.count() < 2) return {usableWidth, 0, 0};
  CarouselMetrics m;
  m.centerWidth = std::min(
      usableWidth,
      std::max(kMinColumnWidthPoints, roundHalfAwayFromZero(usableWidth * centerFraction)));
  m.sideHeight = std::min(
      usableHeight,
      std::max(kMinWindowHeightPoints, roundHalfAwayFromZero(usableHeight * sideFraction)));
  const double bySideHeight = roundHalfAwayFromZero(m.sideHeight * kCarouselSideWidthFactor);
  const double byLeftover =
      roundHalfAwayFromZero((usableWidth - m.centerWidth) * 0.5 + kCarouselSideWidthBonusPoints);
  m.sideWidth = std::max(kMinColumnWidthPoints, std::min(std::floor(usableWidth * 0.5),
                                                         std::max(bySideHeight, byLeftover)));
  return m;
}

void carouselFrames(const Strip& strip, const LayoutGeometry& geometry, double centerFraction,
                    double sideFraction, const VerifiedSizes& verified, FrameList& out) {
  const int focused = strip.focusedIndex;
  if (focused < 0 || focused >= strip.count()) {
    frames(strip, geometry, 0, out);
    return;
  }
  out.clear();
  const CarouselMetrics metrics = carouselMetrics(strip, geometry, centerFraction, sideFraction);
  const CarouselPlacement place{geometry,
                                metrics,
                                verified,
                                geometry.usableHeight(),
                                geometry.area.minY() + geometry.outerGap,
                                geometry.area.minX() + geometry.outerGap,
                                geometry.area.maxX() - geometry.outerGap};
  for (int i = 0; i < strip.count(); ++i) {
    const Column& column = strip.columns[i];
    if (column.windows.empty()) continue;
    const double w = columnWidth(column.proportion, geometry);
    const size_t base = out.size();
    for (WindowId window : column.windows) out.push_back({window, Rect(0, 0, w, 0)});
    WindowFrame* own = out.data() + base;
    detail::shareColumnHeight(strip, column, geometry,
                              [&](int j) -> double& { return own[j].frame.size.height; });
    if (i == focused) {
      place.placeFocused(own, column.count());
      continue;
    }
    const bool onLeft = i < focused;
    const bool neighbour = std::abs(i - focused) == 1;
    const int shown = column.activePosition();
    for (int j = 0; j < column.count(); ++j) {
      if (neighbour && j == shown) {
        place.placeNeighbour(own[j], strip, onLeft);
      } else {
        place.park(own[j], w, onLeft);
      }
    }
  }
}

FrameList carouselFrames(const Strip& strip, const LayoutGeometry& geometry, double centerFraction,
                         double sideFraction, const VerifiedSizes& verified) {
  FrameList out;
  carouselFrames(strip, geometry, centerFraction, sideFraction, verified, out);
  return out;
}

}  // namespace vistarail
