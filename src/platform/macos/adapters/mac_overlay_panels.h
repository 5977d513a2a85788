#pragma once
// The overlay-panel port over AppKit: non-activating panels that never take
// key or main status, join every Space, stay put on Space switches, stay out
// of the window cycle and may sit beside full-screen windows; their content
// is a flipped view drawing through MacCanvas. Main thread only.

#include "platform/overlay_panels.h"

namespace vistarail::macos {

class MacOverlayPanels final : public OverlayPanels {
 public:
  OverlayPanelRef makePanel(const PanelStyle& style, std::shared_ptr<PanelView> content) override;
  ImageRef applicationIcon(Pid pid) override;
  SystemColors systemColors() override;
  Size measureText(const AttributedText& text) override;
  void pushCursor(Cursor cursor) override;
  void popCursor() override;
};

}  // namespace vistarail::macos
