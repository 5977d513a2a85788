#pragma once
// Small builders shared by the strip tests.

#include <initializer_list>
#include <vector>

#include "strip/layout_geometry.h"
#include "strip/strip.h"

namespace vistarail::testing {

// Columns given as their windows, top to bottom, all at the same proportion.
inline Strip makeStrip(std::initializer_list<std::vector<WindowId>> columns, int focused = 0,
                       double proportion = 0.5) {
  Strip strip;
  for (const auto& windows : columns) strip.columns.emplace_back(windows, proportion);
  strip.focusedIndex = focused;
  return strip;
}

// The windows of each column, left to right.
inline std::vector<std::vector<WindowId>> shape(const Strip& strip) {
  std::vector<std::vector<WindowId>> out;
  for (const Column& column : strip.columns) out.push_back(column.windows);
  return out;
}

using Shape = std::vector<std::vector<WindowId>>;

// A 1440 x 875 visible frame at the origin, gaps 8 and 8: W = 1424, H = 859.
inline LayoutGeometry laptopGeometry() {
  return {Rect(0, 0, 1440, 875), 8, 8};
}

}  // namespace vistarail::testing
