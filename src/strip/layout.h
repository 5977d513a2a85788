#pragma once
// Pure geometry of the normal layout: column widths and positions, the
// scrollable extent, where to scroll to show a column or to settle a released
// scroll, which column is most visible, and the frame of every window.
//
// Every function reads the strip and never changes it. The work is linear in
// the number of windows and recomputed on each call; the per-frame functions
// write into a caller-provided buffer and allocate nothing once it has grown
// to size. Lengths are points; rounding is half away from zero.

#include <optional>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "strip/center_mode.h"
#include "strip/layout_geometry.h"
#include "strip/strip.h"

namespace vistarail {

struct WindowFrame {
  WindowId window = 0;
  Rect frame;
  friend bool operator==(const WindowFrame&, const WindowFrame&) = default;
};
// Column by column from left to right, each column top to bottom.
using FrameList = std::vector<WindowFrame>;

// round(p * (W + innerGap) - innerGap), at least 120, at most W (W wins on a
// display too narrow for the minimum).
double columnWidth(double proportion, const LayoutGeometry& geometry);
// The proportion that gives `width` points, before any clamping.
double proportionForWidth(double widthPoints, const LayoutGeometry& geometry);

inline constexpr double kMinCommandProportion = 0.1;
inline constexpr double kMinAdoptedProportion = 0.05;
// A width a command sets (widen, narrow, presets, full width): 0.1 ... 1.0.
double commandProportion(double value);
// The width a window actually took, as a proportion within 0.05 ... 1.0;
// absent when the width is not a number to trust.
std::optional<double> adoptedProportion(double widthPoints, const LayoutGeometry& geometry);

void columnWidths(const Strip& strip, const LayoutGeometry& geometry, std::vector<double>& out);
std::vector<double> columnWidths(const Strip& strip, const LayoutGeometry& geometry);
// Strip x of each column: the first at outerGap, the next one gap after each.
void columnXPositions(const Strip& strip, const LayoutGeometry& geometry, std::vector<double>& out);
std::vector<double> columnXPositions(const Strip& strip, const LayoutGeometry& geometry);
// All columns, the gaps between them and both margins; 0 for an empty strip.
double contentWidth(const Strip& strip, const LayoutGeometry& geometry);
// How far the strip scrolls: max(contentWidth - area width, 0).
double maxScroll(const Strip& strip, const LayoutGeometry& geometry);

// The scroll that shows column `index` under `mode`, starting from `current`,
// clamped to 0 ... maxScroll. A column within 0.5 points of the view counts as
// fully shown. An index outside the strip gives `current`, clamped.
double scrollTarget(const Strip& strip, int index, const LayoutGeometry& geometry, CenterMode mode,
                    double current);
// The resting place nearest to `scroll` among: 0, maxScroll, and each column
// flush with the left or with the right edge. Ties go to the earlier one.
double snapTarget(const Strip& strip, const LayoutGeometry& geometry, double scroll);
// How many points of each column lie inside the view at `scroll`.
void visibleWidths(const Strip& strip, const LayoutGeometry& geometry, double scroll,
                   std::vector<double>& out);
std::vector<double> visibleWidths(const Strip& strip, const LayoutGeometry& geometry,
                                  double scroll);
// The column that should take focus at `scroll`: the focused one if it is
// fully visible, else the fully visible one nearest it, else the most
// visible one. Absent for an empty strip.
std::optional<int> mostVisibleColumn(const Strip& strip, const LayoutGeometry& geometry,
                                     double scroll);
// The column under strip x (the gap is split between its neighbours); the
// last column past the end, 0 for an empty strip.
int columnIndexAtStripX(const Strip& strip, double x, const LayoutGeometry& geometry);

// Height of each window of the column. A lone window with a preferred height
// keeps it (at least 100 or its learned minimum, at most the usable height);
// stacked windows share the height equally except where a learned minimum
// forces more. Floored to whole points.
void heights(const Strip& strip, const Column& column, const LayoutGeometry& geometry,
             std::vector<double>& out);
std::vector<double> heights(const Strip& strip, const Column& column,
                            const LayoutGeometry& geometry);

// Every window's frame in the normal layout at `scroll`, including windows
// outside the view. Each column is shifted by its slide offset.
void frames(const Strip& strip, const LayoutGeometry& geometry, double scroll, FrameList& out);
FrameList frames(const Strip& strip, const LayoutGeometry& geometry, double scroll);

}  // namespace vistarail
