#pragma once
// The narrow interface through which the manager drives the overlays. It does
// nothing yet: the manager already calls it at the moments that matter
// (start, stop, pause, settings changes, focus changes, every layout,
// gestures and edge hover), so the real overlays only have to fill it in.

#include <string>

#include "base/geometry.h"

namespace vistarail {

struct DisplayState;

// The side of a display the pointer rests on.
enum class EdgeSide { left, right };

class OverlayHooks {
 public:
  virtual ~OverlayHooks() = default;
  virtual void update(const DisplayState& display) { (void)display; }
  virtual void hide(const DisplayState& display) { (void)display; }
  // Shows the overlays and hides them again shortly after (commands).
  virtual void pulse(const DisplayState& display) { (void)display; }
  // The focus moved: the focus border and dimming must be ordered in front again.
  virtual void reorder(const DisplayState& display) { (void)display; }
  // A gesture is under way: show the minimap and the arrows now.
  virtual void reveal(const DisplayState& display) { (void)display; }
  // The pointer came to rest on an edge of the display, or left it
  // (display.pointerEdge says which).
  virtual void edgeHoverChanged(const DisplayState& display) { (void)display; }
  // Whether a press at the point (top-left space) belongs to a visible
  // minimap; such a press never starts a window drag.
  virtual bool minimapContains(Point location) const {
    (void)location;
    return false;
  }
};

}  // namespace vistarail
