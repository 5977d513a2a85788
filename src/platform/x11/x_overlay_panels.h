#pragma once
// The program's overlays as override-redirect windows of a 32-bit ARGB
// visual, drawn with cairo (the views draw on a recording canvas; the
// recording is replayed into the window) and made click-through by an empty
// input shape. Translucency needs a compositing manager: without one an ARGB
// window shows its transparent pixels black, so panels stay out of sight
// until one runs (said once on standard error).

#include <memory>

#include "platform/dispatch.h"
#include "platform/overlay_panels.h"
#include "platform/x11/x_connection.h"
#include "platform/x11/x_desktop.h"

namespace vistarail::x11 {

class XOverlayPanels final : public OverlayPanels {
 public:
  XOverlayPanels(XServer& server, XDesktop& desktop, Dispatch& dispatch)
      : server_(server), desktop_(desktop), dispatch_(dispatch) {}
  OverlayPanelRef makePanel(const PanelStyle& style, std::shared_ptr<PanelView> content) override;
  ImageRef applicationIcon(Pid) override { return nullptr; }
  SystemColors systemColors() override;
  Size measureText(const AttributedText& text) override;
  void pushCursor(Cursor) override {}
  void popCursor() override {}

  // Whether a compositing manager runs, so translucent windows show as such.
  bool canComposite();

 private:
  XServer& server_;
  XDesktop& desktop_;
  Dispatch& dispatch_;
  bool warned_ = false;
};

}  // namespace vistarail::x11
