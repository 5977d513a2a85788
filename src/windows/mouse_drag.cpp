// Windows dragged or resized by hand. While the button is down the layout
// leaves the grabbed window alone and the mover drops what it still meant to
// do with it; on release the window's real frame says what the user meant: a
// new width (which sticks), a preferred height, a new place in the strip, or
// another display. Pointer movement along a display's side edges is edge
// hover, which shows that edge's arrow.

#include <algorithm>
#include <cmath>
#include <utility>

#include "windows/ax_read.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

void WindowManager::mouseButton(bool isDown, Point location) {
  auto& p = pointer_;
  if (isDown) {
    if (overlays_->minimapContains(location)) {
      p.mouseDown = false;
      p.pressWindow.reset();
      return;
    }
    p.mouseDown = true;
    p.mouseDragging = false;
    p.pressPoint = location;
    p.pressWindow.reset();
    const DisplayState* display = displayAt(location);
    const Strip* strip = display && display->isActive() ? display->currentStrip() : nullptr;
    if (!strip) return;
    // The frame itself wins over a neighbour's grown margin.
    std::optional<WindowId> nearby;
    for (WindowId id : strip->allWindows()) {
      auto frame = displays_.layoutFrames.find(id);
      if (frame == displays_.layoutFrames.end()) continue;
      if (frame->second.contains(location)) {
        p.pressWindow = id;
        return;
      }
      const Rect grown =
          frame->second.insetBy(-timing::kPressSlopPoints, -timing::kPressSlopPoints);
      if (!nearby && grown.contains(location)) nearby = id;
    }
    p.pressWindow = nearby;
    return;
  }

  const bool wasDragging = p.mouseDragging;
  p.mouseDown = false;
  p.mouseDragging = false;
  p.pressWindow.reset();
  if (std::exchange(p.joinAfterDrag, false)) scheduleReconcile();
  std::vector<WindowId> dragged(p.draggedWindows.begin(), p.draggedWindows.end());
  p.draggedWindows.clear();
  std::sort(dragged.begin(), dragged.end());
  if (!dragged.empty()) {
    ports_.dispatch.main()->asyncAfter(
        timing::kDropReadDelaySeconds, [weak = weak_from_this(), dragged] {
          auto self = weak.lock();
          if (!self) return;
          for (WindowId id : dragged) {
            auto window = self->table_.windows.find(id);
            if (window == self->table_.windows.end()) {
              self->pointer_.heldForDrag.erase(id);
              continue;
            }
            self->onAppQueue(window->second.pid(),
                             [element = window->second.handle->element,
                              id](Accessibility& ax) -> AppReply {
                               auto frame = readFrame(ax, element);
                               return [id, frame](WindowManager& manager) {
                                 manager.dropDragged(id, frame);
                               };
                             });
          }
        });
  } else if (wasDragging) {
    // The desktop or a floating window was dragged: windows may have moved
    // in or out of view.
    startAnimator();
    scheduleRefresh(std::nullopt);
  }
}

void WindowManager::mouseDragged(Point location) {
  auto& p = pointer_;
  if (!p.mouseDown || p.mouseDragging) return;
  if (!(std::hypot(location.x - p.pressPoint.x, location.y - p.pressPoint.y) >
        timing::kDragThresholdPoints)) {
    return;
  }
  p.mouseDragging = true;
  if (p.pressWindow) {
    p.draggedWindows.insert(*p.pressWindow);
    p.heldForDrag.insert(*p.pressWindow);
    auto held = mover_->lock();
    mover_->cancel(held, *p.pressWindow);
  }
  for (auto& [id, display] : displays_.states) overlays_->update(display);
}

void WindowManager::mouseMoved(Point location) {
  // A move with no button down means the release never reached us (a tap
  // the system had turned off): end the press, or the strip stays frozen.
  if (pointer_.mouseDown) mouseButton(false, location);
  syncHotKeys();
  for (auto& [id, display] : displays_.states) {
    std::optional<EdgeSide> edge;
    if (display.isActive() && running_ && settings_.enabled.value()) {
      const Rect& f = display.info.frame;
      const Rect& v = display.info.visibleFrame;
      const double x = location.x;
      const double y = location.y;
      if (v.minY() <= y && y <= v.maxY()) {
        if (f.maxX() - timing::kEdgeInsideRight <= x && x <= f.maxX() + timing::kEdgeOutside) {
          edge = EdgeSide::right;
        } else if (f.minX() - timing::kEdgeOutside <= x &&
                   x <= f.minX() + timing::kEdgeInsideLeft) {
          edge = EdgeSide::left;
        }
      }
    }
    if (edge != display.pointerEdge) {
      display.pointerEdge = edge;
      overlays_->edgeHoverChanged(display);
    }
  }
}

void WindowManager::releaseHeld(WindowId id) {
  pointer_.heldForDrag.erase(id);
  startAnimator();
}

void WindowManager::dropDragged(WindowId id, std::optional<Rect> frame) {
  if (!running_) return;  // a stopping manager only brings windows back
  DisplayState* display = nullptr;
  for (auto& [displayId, state] : displays_.states) {
    if (const Strip* strip = state.currentStrip(); strip && strip->contains(id)) {
      display = &state;
      break;
    }
  }
  if (!display) {
    // Dragged before it joined a strip (the reconcile leaves windows alone
    // while the button is down): where it was dropped decides now.
    releaseHeld(id);
    if (const TrackedWindow* window = this->window(id)) scheduleRefresh(window->pid());
    return;
  }
  auto laid = displays_.layoutFrames.find(id);
  if (!frame || laid == displays_.layoutFrames.end() || !std::isfinite(frame->minX()) ||
      !std::isfinite(frame->width())) {
    releaseHeld(id);
    return;
  }
  const Rect last = laid->second;
  Strip& strip = currentStrip(*display);
  const auto columnIndex = strip.columnIndexOf(id);
  if (!columnIndex) {
    releaseHeld(id);
    return;
  }
  dropMoverRecords(id);

  if (auto holder = displayContainingFrame(*frame); holder && holder->id != display->info.id) {
    if (DisplayState* target = displayState(holder->id)) {
      moveWindowToDisplay(id, *display, *target, *frame);
      releaseHeld(id);
      return;
    }
  }

  const LayoutGeometry geometry = geometryFor(*display);
  const bool carousel = settings_.carouselMode.value();
  constexpr double tol = timing::kDropTolerancePoints;
  const Column& column = strip.columns[*columnIndex];
  if (column.count() == 1 && (!carousel || *columnIndex == strip.focusedIndex) &&
      std::abs(frame->height() - last.height()) > tol) {
    const double highest = display->info.visibleFrame.height() - 2 * geometry.outerGap;
    const double height =
        std::max(std::min(std::max(frame->height(), timing::kMinPreferredHeight), highest), 1.0);
    strip.preferredHeights[id] = height;
  }

  if (carousel) {
    startAnimator();
    scheduleSave();
    releaseHeld(id);
    return;
  }

  const ColumnId columnId = column.id();
  if (std::abs(frame->width() - last.width()) > tol) {
    if (auto proportion = adoptedProportion(frame->width(), geometry)) {
      animatedMutation(*display, [&](Strip& s) {
        if (auto i = s.columnIndexOf(columnId)) {
          s.columns[*i].proportion = *proportion;
          s.columns[*i].proportionBeforeFullWidth.reset();
        }
      });
    }
    if (auto i = strip.columnIndexOf(columnId)) strip.setFocusedIndex(*i);
  } else if (std::abs(frame->minX() - last.minX()) > tol ||
             std::abs(frame->minY() - last.minY()) > tol) {
    const Rect& area = display->info.visibleFrame;
    const double contentX = (frame->center().x - area.minX()) + strip.scroll.value;
    const int to = columnIndexAtStripX(strip, contentX, geometry);
    animatedMutation(*display, [&](Strip& s) { s.moveColumn(*columnIndex, to); });
    if (auto i = strip.columnIndexOf(columnId)) {
      if (settings_.animations.value()) {
        const double slot = columnXPositions(strip, geometry)[*i];
        Spring& offset = strip.columns[*i].offset;
        // Glide from where the window was let go into its new slot.
        offset.value = frame->minX() - (area.minX() + slot - strip.scroll.value);
        offset.target = 0;
        offset.velocity = 0;
      }
      strip.setFocusedIndex(*i);
    }
  } else {
    // Let go where it was: it snaps back, nothing in the strip changes.
  }
  ensureFocusedVisible(*display, true);
  startAnimator();
  scheduleSave();
  releaseHeld(id);
  // The dropped column is shown, but the focus is where the system says: a
  // drag with Command held, or one the application refused to answer with
  // activation, leaves it on another window.
  syncFocus(true);
}

}  // namespace vistarail
