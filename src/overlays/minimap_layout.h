#pragma once
// The minimap's geometry as pure functions of a snapshot, the view's width
// and the widest it may become: the scale, the size the view asks for, one
// block per window, what a point hits and where a dragged column would drop.
// Nothing is stored; the view recomputes them at each use.

#include <optional>
#include <vector>

#include "base/geometry.h"
#include "overlays/strip_snapshot.h"
#include "strip/drop_target.h"

namespace vistarail::minimap {

inline constexpr double kPadding = 10;
inline constexpr double kViewportTargetWidth = 120;
inline constexpr double kMaxBlockHeight = 40;
inline constexpr double kMaxContentWidth = 420;
inline constexpr double kSlotGap = 2;
inline constexpr double kMinBlockWidth = 3;
inline constexpr double kHitMargin = 1;
inline constexpr double kDragThreshold = 4;
inline constexpr Size kEmptySize{120, 56};

struct Scale {
  double s = 1;  // strip points to view points
  double W = 0;  // strip width drawn: the larger of viewport and content
  double H = 0;  // drawn column height
};
Scale scaleOf(const StripSnapshot& snapshot, double maxWidth);
// Whether the strip can be drawn at all that narrow; without room no minimap.
bool hasRoom(const StripSnapshot& snapshot, double maxWidth);

Size preferredSize(const std::optional<StripSnapshot>& snapshot, double maxWidth);

struct Block {
  const StripSnapshot::WindowLabel* label = nullptr;  // null for an empty slot
  int column = 0;
  int slot = 0;
  Rect rect;
  WindowId window() const { return label ? label->id : 0; }
};
// Left edge of the drawn strip in the view.
double originX(const StripSnapshot& snapshot, double viewWidth, double maxWidth);
std::vector<Block> blocks(const StripSnapshot& snapshot, double viewWidth, double maxWidth);

// The window of the block under the point (blocks grown by a point); none for
// empty slots and unknown windows.
std::optional<WindowId> hitTest(const std::vector<Block>& blocks, Point point);

std::optional<MinimapDropTarget> dropTarget(const StripSnapshot& snapshot,
                                            const std::vector<Block>& blocks, Size viewSize,
                                            WindowId dragged, Point point);

}  // namespace vistarail::minimap
