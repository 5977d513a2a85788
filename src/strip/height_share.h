#pragma once
// How a column's windows share its height, written through an accessor so
// that the frame builders can fill their own output in place without a
// scratch buffer. Internal to the layout code.

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "strip/layout_geometry.h"
#include "strip/strip.h"

namespace vistarail::detail {

// Frames go to other applications, so every stacked window gets at least one
// point and the column stays inside the usable height. The gap between
// stacked windows gives way first: it shrinks until n one-point windows fit,
// down to overlapping windows when even they cannot (an area of 1 point).
inline constexpr double kMinLaidOutHeightPoints = 1;

inline double stackGap(const LayoutGeometry& geometry, int n) {
  if (n < 2) return geometry.innerGap;
  const double room = (geometry.usableHeight() - n * kMinLaidOutHeightPoints) / (n - 1);
  return std::min(geometry.innerGap, room);
}

// Cuts the tallest heights down to one level so the heights sum to at most
// pool (pool >= count of heights, each height >= 1): minimums that cannot all
// fit give way from the top, and no window goes below a point.
template <class HeightAt>
void fitColumn(int n, double pool, HeightAt& at) {
  double total = 0;
  for (int j = 0; j < n; ++j) {
    at(j) = std::max(at(j), kMinLaidOutHeightPoints);
    total += at(j);
  }
  if (total <= pool) return;
  std::vector<double> sorted;
  sorted.reserve(n);
  for (int j = 0; j < n; ++j) sorted.push_back(at(j));
  std::sort(sorted.begin(), sorted.end(), std::greater<>());
  double rest = total;
  double level = pool / n;
  for (int k = 1; k <= n; ++k) {
    rest -= sorted[k - 1];
    level = (pool - rest) / k;
    if (k == n || level >= sorted[k]) break;
  }
  for (int j = 0; j < n; ++j) at(j) = std::floor(std::min(at(j), level));
}

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
  const double pool = usable - stackGap(geometry, n) * (n - 1);
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
  fitColumn(n, pool, at);
}

}  // namespace vistarail::detail
