#include "overlays/minimap_layout.h"

#include <algorithm>

namespace vistarail::minimap {

Scale scaleOf(const StripSnapshot& snapshot, double maxWidth) {
  Scale scale;
  const double vw = snapshot.viewportWidth;
  scale.W = std::max(vw, snapshot.contentWidth);
  if (vw > 0) {
    const double s0 = kViewportTargetWidth / vw;
    // A display too narrow for the padding leaves no room at all: the scale
    // is 0 (never negative, which would draw a panel of negative height).
    const double available = std::max(std::min(maxWidth, kMaxContentWidth) - 2 * kPadding, 0.0);
    scale.s = s0 * scale.W <= available ? s0 : available / scale.W;
  }
  scale.H = std::min(snapshot.viewportHeight * scale.s, kMaxBlockHeight);
  return scale;
}

bool hasRoom(const StripSnapshot& snapshot, double maxWidth) {
  const Scale scale = scaleOf(snapshot, maxWidth);
  return scale.W * scale.s >= kMinBlockWidth && scale.H >= 1;
}

Size preferredSize(const std::optional<StripSnapshot>& snapshot, double maxWidth) {
  if (!snapshot) return kEmptySize;
  const Scale scale = scaleOf(*snapshot, maxWidth);
  return {roundHalfAwayFromZero(scale.W * scale.s + 2 * kPadding),
          roundHalfAwayFromZero(scale.H + 2 * kPadding)};
}

double originX(const StripSnapshot& snapshot, double viewWidth, double maxWidth) {
  const Scale scale = scaleOf(snapshot, maxWidth);
  return roundHalfAwayFromZero((viewWidth - scale.W * scale.s) / 2);
}

std::vector<Block> blocks(const StripSnapshot& snapshot, double viewWidth, double maxWidth) {
  const Scale scale = scaleOf(snapshot, maxWidth);
  const double x0 = originX(snapshot, viewWidth, maxWidth);
  std::vector<Block> result;
  for (size_t i = 0; i < snapshot.columns.size(); ++i) {
    const auto& column = snapshot.columns[i];
    const double left = x0 + scale.s * column.x;
    const double width = std::max(scale.s * column.width - 1, kMinBlockWidth);
    const int n = std::max(column.windowCount, 1);
    const double h = (scale.H - kSlotGap * (n - 1)) / n;
    for (int j = 0; j < n; ++j) {
      const auto* label =
          j < static_cast<int>(column.windows.size()) ? &column.windows[j] : nullptr;
      result.push_back(
          {label, static_cast<int>(i), j, Rect(left, kPadding + j * (h + kSlotGap), width, h)});
    }
  }
  return result;
}

std::optional<WindowId> hitTest(const std::vector<Block>& blocks, Point point) {
  for (const Block& block : blocks) {
    if (!block.rect.grownBy(kHitMargin).contains(point)) continue;
    if (!block.label || block.label->id == 0) return std::nullopt;
    return block.label->id;
  }
  return std::nullopt;
}

std::optional<MinimapDropTarget> dropTarget(const StripSnapshot& snapshot,
                                            const std::vector<Block>& blocks, Size viewSize,
                                            WindowId dragged, Point point) {
  if (!Rect({0, 0}, viewSize).contains(point) || snapshot.columns.empty()) return std::nullopt;
  const int draggedColumn = snapshot.columnOf(dragged);
  if (draggedColumn < 0) return std::nullopt;
  std::vector<const Block*> candidates;
  for (const Block& block : blocks) {
    if (block.slot == 0 && block.column != draggedColumn && block.window() != 0) {
      candidates.push_back(&block);
    }
  }
  if (candidates.empty()) return std::nullopt;
  for (const Block* candidate : candidates) {
    if (candidate->rect.midX() > point.x) return MinimapDropTarget{candidate->window(), false};
  }
  return MinimapDropTarget{candidates.back()->window(), true};
}

}  // namespace vistarail::minimap
