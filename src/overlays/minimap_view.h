#pragma once
// A small picture of one strip: a rounded block per window (stacked windows
// share their column's height) with its application's icon, the focused
// column in the accent colour and a frame around the part on screen. Pointing
// at a block reports it for the caption; clicking jumps to its window;
// dragging a block between two columns reorders the strip. It knows nothing
// but the snapshot it is given and reports through its callbacks.

#include <functional>
#include <optional>
#include <unordered_map>

#include "overlays/minimap_layout.h"
#include "overlays/strip_snapshot.h"
#include "platform/overlay_panels.h"

namespace vistarail {

class MinimapView final : public PanelView {
 public:
  explicit MinimapView(OverlayPanels& platform) : platform_(platform) {}

  std::optional<StripSnapshot> snapshot;
  double maxWidth = 720;  // the controller sets 0.8 of the usable width
  std::function<void(WindowId)> onClick;
  std::function<void(WindowId, MinimapDropTarget)> onReorder;
  std::function<void()> onDragChange;
  std::function<void()> onHoverChange;

  // After each new snapshot: the block under a still pointer may have
  // changed, and a press on a window that left the strip is dropped.
  void snapshotChanged();
  Size preferredSize() const { return minimap::preferredSize(snapshot, maxWidth); }

  bool isHovered() const { return isHovered_; }
  std::optional<WindowId> hoveredWindow() const { return hoveredWindow_; }
  bool isDragging() const { return isDragging_; }
  std::optional<WindowId> pressedWindow() const { return pressedWindow_; }
  // The minimap went away: hover is forgotten without telling anybody and a
  // drag in progress ends without a drop.
  void clearHoverAndPress();

  void draw(Canvas& canvas) override;
  void mouseEntered(Point p) override;
  void mouseMoved(Point p) override;
  void mouseExited(Point p) override;
  void mouseDown(Point p) override;
  void mouseDragged(Point p) override;
  void mouseUp(Point p) override;
  std::vector<CursorRect> cursorRects() const override;

 private:
  enum class Notify { yes, no };
  std::vector<minimap::Block> currentBlocks() const;
  std::optional<WindowId> hitTest(Point p) const;
  std::optional<MinimapDropTarget> dropTargetAt(Point p) const;
  void updateHover(std::optional<Point> p, Notify notify);
  void resetPress();
  ImageRef iconFor(Pid pid);

  OverlayPanels& platform_;
  bool isHovered_ = false;
  std::optional<WindowId> hoveredWindow_;
  std::optional<Point> lastPointer_;
  std::optional<WindowId> pressedWindow_;
  std::optional<Point> pressPoint_;
  std::optional<Point> dragPoint_;
  bool isDragging_ = false;
  // Looked up once per process and kept for the life of the view.
  std::unordered_map<Pid, ImageRef> icons_;
};

}  // namespace vistarail
