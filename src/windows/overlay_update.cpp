// Each display's overlays, fed from the manager's state: the strip snapshot,
// the window the focus border outlines and the window the dimming sits
// behind. A display that cannot show overlays has them all hidden.

#include "windows/overlay_update.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "windows/window_manager.h"

namespace vistarail {

void buildStripSnapshot(const Strip& strip, const LayoutGeometry& geometry, double scroll,
                        const WindowLabeler& labelOf, StripSnapshot& out) {
  thread_local std::vector<double> widths;
  columnWidths(strip, geometry, widths);
  out.columns.resize(strip.columns.size());
  // Each column's strip x follows from the widths, as the layout places it:
  // the first at the outer gap, each next one a gap after the one before.
  double x = geometry.outerGap;
  for (size_t i = 0; i < strip.columns.size(); ++i) {
    const Column& column = strip.columns[i];
    StripSnapshot::ColumnInfo& info = out.columns[i];
    info.x = x + column.offset.value;
    info.width = widths[i];
    x += widths[i] + geometry.innerGap;
    info.windowCount = column.count();
    info.activeIndex = column.activeIndex;
    info.windows.resize(column.windows.size());
    for (size_t j = 0; j < column.windows.size(); ++j) labelOf(column.windows[j], info.windows[j]);
  }
  out.focusedIndex = strip.focusedIndex;
  out.scroll = scroll;
  out.viewportWidth = geometry.area.width();
  out.viewportHeight = geometry.area.height();
  // contentWidth and maxScroll, from the widths at hand (same sum, same order).
  double content = 0;
  if (!strip.empty()) {
    for (double w : widths) content += w;
    content += geometry.innerGap * (strip.count() - 1) + 2 * geometry.outerGap;
  }
  out.contentWidth = content;
  out.maxScroll = std::max(content - geometry.area.width(), 0.0);
}

OverlayController* WindowManager::overlays(const std::string& displayID) const {
  return overlays_->find(displayID);
}

OverlayController* ManagerOverlays::find(const std::string& displayID) const {
  auto it = controllers_.find(displayID);
  return it == controllers_.end() ? nullptr : it->second.get();
}

OverlayController* ManagerOverlays::controllerFor(const DisplayState& display) {
  if (!manager_.ports_.overlayPanels || !manager_.ports_.text) return nullptr;
  auto& controller = controllers_[display.info.id];
  if (controller) return controller.get();
  controller = std::make_shared<OverlayController>(
      OverlayPorts{*manager_.ports_.overlayPanels, manager_.ports_.workspace,
                   manager_.ports_.dispatch, *manager_.ports_.text});
  std::weak_ptr<WindowManager> weak = manager_.weak_from_this();
  const std::string id = display.info.id;
  controller->onArrowClick = [weak, id](EdgeSide side) {
    auto self = weak.lock();
    if (!self) return;
    if (DisplayState* state = self->displayState(id)) {
      self->performCommand(side == EdgeSide::left ? Action::focusLeft : Action::focusRight, *state);
    }
  };
  controller->onMinimapClick = [weak, id](WindowId window) {
    if (auto self = weak.lock()) self->onMinimapClick(window, id);
  };
  controller->onMinimapReorder = [weak, id](WindowId window, MinimapDropTarget target) {
    if (auto self = weak.lock()) self->onMinimapReorder(window, target, id);
  };
  return controller.get();
}

std::optional<FocusTarget> ManagerOverlays::focusTarget(const Strip& strip) const {
  const WindowManager& m = manager_;
  const Column* column = strip.focusedColumn();
  const std::optional<WindowId> w = column ? column->activeWindow() : std::nullopt;
  if (!w || m.focus_.actualFocusedWindow != w) return std::nullopt;
  auto record = m.table_.windows.find(*w);
  auto front = m.ports_.workspace.frontmostApplication();
  if (record == m.table_.windows.end() || !front || front->pid != record->second.pid()) {
    return std::nullopt;
  }
  // A window in the user's hands or parked off screen has no outline.
  if (m.pointer_.heldForDrag.contains(*w) ||
      (m.pointer_.mouseDragging && m.pointer_.pressWindow == w) ||
      m.moved_.is(*w, MovedState::parked)) {
    return std::nullopt;
  }
  auto laid = m.displays_.layoutFrames.find(*w);
  if (laid == m.displays_.layoutFrames.end()) return std::nullopt;
  Rect frame = laid->second;
  // A window that refused its size is outlined at the size it took.
  if (auto verified = m.displays_.verifiedSizes.find(*w);
      verified != m.displays_.verifiedSizes.end()) {
    frame.size = verified->second;
  }
  return FocusTarget{*w, frame};
}

std::optional<WindowId> ManagerOverlays::dimAnchor(const Strip& strip) const {
  const auto& reported = manager_.focus_.reportedFocusedWindow;
  if (reported && strip.contains(*reported)) return reported;
  return std::nullopt;
}

void ManagerOverlays::update(const DisplayState& display) {
  const WindowManager& m = manager_;
  const Strip* strip = display.currentStrip();
  if (!m.running_ || !m.settings_.enabled.value() || !display.isActive() || !strip ||
      strip->empty()) {
    hide(display);
    return;
  }
  OverlayController* controller = controllerFor(display);
  if (!controller) return;
  const LayoutGeometry geometry = m.geometryFor(display);
  const double scroll =
      m.settings_.carouselMode.value()
          ? scrollTarget(*strip, strip->focusedIndex, geometry, CenterMode::always, 0)
          : strip->scroll.value;
  Buffer& buffer = buffers_[display.info.id];
  const bool labelsKept = buffer.labelsVersion == labelsVersion_;
  buildStripSnapshot(
      *strip, geometry, scroll,
      [&m, labelsKept](WindowId id, StripSnapshot::WindowLabel& label) {
        if (labelsKept && label.id == id) return;
        auto window = m.table_.windows.find(id);
        if (window == m.table_.windows.end()) {
          label = StripSnapshot::WindowLabel{};
          return;
        }
        const TrackedWindow& w = window->second;
        label.pid = w.pid();
        label.id = id;
        // Assigned in place: the strings keep their buffers from frame to frame.
        label.title = w.title ? std::string_view(*w.title) : std::string_view();
        label.appName = w.appName ? std::string_view(*w.appName) : std::string_view();
      },
      buffer.snapshot);
  const AppSettings& s = m.settings_;
  const double primaryHeight =
      m.displays_.connected.empty() ? 0 : m.displays_.connected.front().frame.height();
  controller->setSettings({s.showMinimap.value(), s.showFocusBorder.value(),
                           s.focusBorderWidth.value(), s.showEdgeArrows.value(),
                           s.dimInactive.value(), s.dimAmount.value(), primaryHeight});
  // Handed over by swapping; the buffer comes back with the one shown
  // before, so a frame's update allocates nothing new.
  controller->update(std::move(buffer.snapshot), display.info.visibleFrame, display.info.frame,
                     focusTarget(*strip), dimAnchor(*strip));
  buffer.labelsVersion = std::exchange(buffer.lastBuilt, labelsVersion_);
}

void ManagerOverlays::hide(const DisplayState& display) {
  if (OverlayController* controller = find(display.info.id)) controller->hideAll();
}

void ManagerOverlays::pulse(const DisplayState& display) {
  OverlayController* controller = controllerFor(display);
  if (!controller) return;
  controller->pulse();
  controller->refresh();
}

void ManagerOverlays::reorder(const DisplayState& display) {
  if (OverlayController* controller = find(display.info.id)) controller->clearOrdering();
}

}  // namespace vistarail

namespace vistarail {

void ManagerOverlays::edgeHoverChanged(const DisplayState& display) {
  if (OverlayController* controller = find(display.info.id)) {
    controller->setEdgeHover(display.pointerEdge);
  }
}

bool ManagerOverlays::minimapContains(Point location) const {
  // Panels are placed in the screen API's space, flipped against the first
  // display's height.
  const auto& connected = manager_.displays_.connected;
  const double primaryHeight = connected.empty() ? 0 : connected.front().frame.height();
  const Point flipped{location.x, primaryHeight - location.y};
  for (const auto& [id, controller] : controllers_) {
    const OverlayPanel* minimap = controller->visibleMinimap();
    if (minimap && minimap->frame().contains(flipped)) return true;
  }
  return false;
}

}  // namespace vistarail
