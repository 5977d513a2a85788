#pragma once
// The space a strip is laid out in: a display's visible frame and the two gap
// settings, built fresh for every computation.
//
// Strip coordinates: x = 0 is the left end of the strip's content and the
// first column starts at x = outerGap. A scroll offset s shows strip x = s at
// the left edge of the area, so strip x maps to screen x = area.minX + x - s.

#include "base/geometry.h"

namespace vistarail {

struct LayoutGeometry {
  Rect area;            // visible frame, top-left-origin global points
  double innerGap = 0;  // between columns and between stacked windows, points
  double outerGap = 0;  // between windows and the edges of the area, points

  // Never below 1, so a degenerate area still gives finite numbers.
  double usableWidth() const;
  double usableHeight() const;

  friend bool operator==(const LayoutGeometry&, const LayoutGeometry&) = default;
};

inline constexpr double kMinColumnWidthPoints = 120;
inline constexpr double kMinWindowHeightPoints = 100;

inline double LayoutGeometry::usableWidth() const {
  const double w = area.width() - 2 * outerGap;
  return w > 1 ? w : 1;
}

inline double LayoutGeometry::usableHeight() const {
  const double h = area.height() - 2 * outerGap;
  return h > 1 ? h : 1;
}

}  // namespace vistarail
