#pragma once
// Each display's overlays fed from the manager's state, and the description
// of a strip they get, built from the strip and its display's geometry (the
// manager fills in the window labels).

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "overlays/overlay_controller.h"
#include "overlays/strip_snapshot.h"
#include "strip/layout_geometry.h"
#include "strip/strip.h"
#include "windows/manager_state.h"

namespace vistarail {

// Fills in the label of a window. It writes over the label the snapshot held
// for that place the last time, so unchanged titles cost no allocation.
using WindowLabeler = std::function<void(WindowId, StripSnapshot::WindowLabel&)>;

// scroll: the strip's scroll now (in carousel mode, where the normal layout
// would centre the focused column).
void buildStripSnapshot(const Strip& strip, const LayoutGeometry& geometry, double scroll,
                        const WindowLabeler& labelOf, StripSnapshot& out);

class WindowManager;

// Each display's OverlayController, made at the display's first overlay
// update and kept as long as the display's record, fed from the manager's
// state (overlay_update.cpp).
class ManagerOverlays {
 public:
  explicit ManagerOverlays(WindowManager& manager) : manager_(manager) {}
  void update(const DisplayState& display);
  void hide(const DisplayState& display);
  // Shows the minimap and arrows for a moment (commands, the minimap, swipes).
  void pulse(const DisplayState& display);
  // The focus moved: the border and dimming are ordered in front again.
  void reorder(const DisplayState& display);
  // A gesture is under way: the minimap and the arrows show now.
  void reveal(const DisplayState& display) { pulse(display); }
  // The pointer came to rest on an edge of the display, or left it
  // (display.pointerEdge says which).
  void edgeHoverChanged(const DisplayState& display);
  // Whether a point (top-left space) lies on a visible minimap; a press
  // there never starts a window drag.
  bool minimapContains(Point location) const;
  OverlayController* find(const std::string& displayID) const;
  // A window's title or application name changed, or a window came or went:
  // every label is made afresh at the next update.
  void labelsChanged() { ++labelsVersion_; }

 private:
  OverlayController* controllerFor(const DisplayState& display);
  std::optional<FocusTarget> focusTarget(const Strip& strip) const;
  std::optional<WindowId> dimAnchor(const Strip& strip) const;

  WindowManager& manager_;
  std::map<std::string, std::shared_ptr<OverlayController>> controllers_;
  // Each display's snapshot, reused so a frame's update allocates little.
  // The one in hand is what the display's controller gave back at the last
  // update: the snapshot built the update before, with labels made at
  // `labelsVersion`; a place holding the same window keeps its label while
  // no label changed since.
  struct Buffer {
    StripSnapshot snapshot;
    uint64_t labelsVersion = 0;  // of the labels in `snapshot`
    uint64_t lastBuilt = 0;      // of the labels handed over at the last update
  };
  std::map<std::string, Buffer> buffers_;
  uint64_t labelsVersion_ = 1;
};

}  // namespace vistarail
