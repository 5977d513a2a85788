#pragma once
// How a column's windows share its height, written through an accessor so
// that the frame builders can fill their own output in place without a
// scratch buffer. Internal to the layout code.

#include <cmath>
#include <limits>

#include "strip/layout_geometry.h"
#include "strip/strip.h"

namespace vistarail::detail {

// at(j) must return a double& for window j of the column.
template <class HeightAt>
void shareColumnHeight(const Strip& strip, const Column& column, const LayoutGeometry& geometry,
                       HeightAt&& at) {
  const int n = column.count();
  const double usable = geometry.usableHeight();
  if (n == 0) return;
  if (n == 1) {
    const auto preferred = strip.preferredHeights.find(column.windows[0]);
    if (preferred != strip.preferredHeights.end()) {
      const auto learned = strip.minHeights.find(column.windows[0]);
      const double minimum =
          learned != strip.minHeights.end() && learned->second >= kMinWindowHeightPoints
              ? learned->second
              : kMinWindowHeightPoints;
      at(0) = std::floor(std::min(usable, std::max(preferred->second, minimum)));
      return;
    }
  }

  // Windows not yet fixed hold NaN. Each round fixes at least one window or
  // ends the loop, so it runs at most n rounds.
  constexpr double kOpen = std::numeric_limits<double>::quiet_NaN();
  for (int j = 0; j < n; ++j) at(j) = kOpen;
  const double pool = usable - geometry.innerGap * (n - 1);
  double fixedSum = 0;
  int fixedCount = 0;
  double share = pool / n;
  while (fixedCount < n) {
    share = (pool - fixedSum) / (n - fixedCount);
    bool fixedAny = false;
    for (int j = 0; j < n; ++j) {
      double& h = at(j);
      if (!std::isnan(h)) continue;
      const auto learned = strip.minHeights.find(column.windows[j]);
      if (learned != strip.minHeights.end()) {
        if (learned->second > share) h = learned->second;
      } else if (share < 0) {
        h = share;
      }
      if (!std::isnan(h)) {
        fixedSum += h;
        ++fixedCount;
        fixedAny = true;
      }
    }
    if (!fixedAny) break;
  }
  for (int j = 0; j < n; ++j) {
    double& h = at(j);
    if (std::isnan(h)) h = share;
    h = std::floor(h);
  }
}

}  // namespace vistarail::detail
