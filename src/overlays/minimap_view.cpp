#include "overlays/minimap_view.h"

#include <algorithm>
#include <cmath>

namespace vistarail {

using namespace minimap;

std::vector<Block> MinimapView::currentBlocks() const {
  if (!snapshot) return {};
  return blocks(*snapshot, boundsSize().width, maxWidth);
}

std::optional<WindowId> MinimapView::hitTest(Point p) const {
  return minimap::hitTest(currentBlocks(), p);
}

std::optional<MinimapDropTarget> MinimapView::dropTargetAt(Point p) const {
  if (!snapshot || !pressedWindow_) return std::nullopt;
  return dropTarget(*snapshot, currentBlocks(), boundsSize(), *pressedWindow_, p);
}

void MinimapView::updateHover(std::optional<Point> p, Notify notify) {
  lastPointer_ = p;
  const std::optional<WindowId> hovered = p ? hitTest(*p) : std::nullopt;
  if (hovered == hoveredWindow_) return;
  hoveredWindow_ = hovered;
  setNeedsDisplay();
  if (notify == Notify::yes && onHoverChange) onHoverChange();
}

void MinimapView::snapshotChanged() {
  // Icons of applications no longer on the strip go, so the cache never
  // grows with every process that ever had a window here.
  std::erase_if(icons_, [&](const auto& entry) {
    if (!snapshot) return true;
    for (const auto& column : snapshot->columns) {
      for (const auto& label : column.windows) {
        if (label.pid == entry.first) return false;
      }
    }
    return true;
  });
  if (isHovered_) updateHover(lastPointer_, Notify::no);
  if (pressedWindow_ && (!snapshot || snapshot->columnOf(*pressedWindow_) < 0)) resetPress();
}

void MinimapView::clearHoverAndPress() {
  isHovered_ = false;
  hoveredWindow_.reset();
  lastPointer_.reset();
  setNeedsDisplay();
  resetPress();
}

void MinimapView::mouseEntered(Point p) {
  isHovered_ = true;
  updateHover(p, Notify::yes);
  if (onHoverChange) onHoverChange();
}

void MinimapView::mouseMoved(Point p) {
  updateHover(p, Notify::yes);
}

void MinimapView::mouseExited(Point) {
  isHovered_ = false;
  lastPointer_.reset();
  hoveredWindow_.reset();
  setNeedsDisplay();
  if (onHoverChange) onHoverChange();
}

void MinimapView::mouseDown(Point p) {
  resetPress();
  pressedWindow_ = hitTest(p);
  pressPoint_ = p;
}

void MinimapView::mouseDragged(Point p) {
  if (!pressedWindow_ || !pressPoint_) return;
  dragPoint_ = p;
  if (!isDragging_ && std::hypot(p.x - pressPoint_->x, p.y - pressPoint_->y) > kDragThreshold) {
    isDragging_ = true;
    platform_.pushCursor(Cursor::closedHand);
    if (onDragChange) onDragChange();
  }
  setNeedsDisplay();
}

void MinimapView::mouseUp(Point p) {
  if (!pressedWindow_) {
    resetPress();
    return;
  }
  const WindowId pressed = *pressedWindow_;
  const bool dragged = isDragging_;
  const std::optional<MinimapDropTarget> target = dropTargetAt(p);
  resetPress();
  if (!dragged) {
    // A press that slides onto another block is no click.
    if (hitTest(p) == pressed && onClick) onClick(pressed);
  } else if (target && onReorder) {
    onReorder(pressed, *target);
  }
}

void MinimapView::resetPress() {
  const bool wasDragging = isDragging_;
  isDragging_ = false;
  pressedWindow_.reset();
  pressPoint_.reset();
  dragPoint_.reset();
  if (wasDragging) {
    platform_.popCursor();
    if (onDragChange) onDragChange();
  }
  setNeedsDisplay();
}

std::vector<CursorRect> MinimapView::cursorRects() const {
  std::vector<CursorRect> rects;
  for (const Block& block : currentBlocks()) {
    if (block.label && block.label->id == 0) continue;
    rects.push_back({block.rect, Cursor::openHand});
  }
  return rects;
}

ImageRef MinimapView::iconFor(Pid pid) {
  if (auto cached = icons_.find(pid); cached != icons_.end()) return cached->second;
  ImageRef icon = platform_.applicationIcon(pid);
  // An application that is not running is asked again next time.
  if (icon) icons_[pid] = icon;
  return icon;
}

void MinimapView::draw(Canvas& canvas) {
  if (!snapshot) return;
  const Scale scale = scaleOf(*snapshot, maxWidth);
  const double x0 = originX(*snapshot, boundsSize().width, maxWidth);
  const Color accent = platform_.systemColors().controlAccent;
  const int pressedColumn = pressedWindow_ ? snapshot->columnOf(*pressedWindow_) : -1;
  const std::vector<Block> all = currentBlocks();

  for (const Block& block : all) {
    const auto& column = snapshot->columns[block.column];
    const bool hovered = block.label && block.label->id != 0 && hoveredWindow_ == block.label->id;
    Color fill;
    if (block.column == snapshot->focusedIndex) {
      fill = block.slot == column.activeIndex ? accent : accent.withAlpha(0.45);
    } else {
      fill = kWhite.withAlpha(hovered ? 0.5 : 0.32);
    }
    if (isDragging_ && block.column == pressedColumn) fill = fill.withAlpha(0.2);
    canvas.fillRoundedRect(block.rect, 4, fill);
    if (hovered)
      canvas.strokeRoundedRect(block.rect.insetBy(0.75, 0.75), 4, 1.5, kWhite.withAlpha(0.9));
    if (!block.label) continue;
    const Rect inner = block.rect.insetBy(3, 3);
    const double m = std::min(inner.width(), inner.height());
    const double side = m > 22 ? 22 : std::floor(m);
    if (side < 10 || block.label->pid <= 0) continue;
    if (ImageRef icon = iconFor(block.label->pid)) {
      const Point c = inner.center();
      canvas.drawImage(icon, Rect(roundHalfAwayFromZero(c.x - side / 2),
                                  roundHalfAwayFromZero(c.y - side / 2), side, side));
    }
  }

  const double vw = snapshot->viewportWidth;
  canvas.strokeRoundedRect(
      Rect(scale.s * snapshot->scroll + x0 - 2, 7, vw * scale.s + 4, scale.H + 6), 6, 2,
      kWhite.withAlpha(0.95));

  if (isDragging_ && pressedWindow_ && dragPoint_) {
    if (auto target = dropTargetAt(*dragPoint_)) {
      for (const Block& block : all) {
        if (block.window() != target->window || !block.label) continue;
        const double x = target->after ? block.rect.maxX() + 1 : block.rect.minX() - 2;
        canvas.fillRoundedRect(Rect(x, 8, 3, scale.H + 4), 1.5, accent);
        break;
      }
    }
  }
}

}  // namespace vistarail
