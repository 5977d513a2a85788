#pragma once
// Display links from a repeating timer on the main queue at the screen's
// refresh rate. X has no vertical-blank callback a client of another window
// manager's screen can use; a timer at the same rate gives the animator the
// frame clock it needs.

#include <map>

#include "platform/dispatch.h"
#include "platform/display_link.h"
#include "platform/x11/x_desktop.h"

namespace vistarail::x11 {

class XDisplayLinkFactory final : public DisplayLinkFactory {
 public:
  XDisplayLinkFactory(Dispatch& dispatch, XDesktop& desktop)
      : dispatch_(dispatch), desktop_(desktop) {}
  DisplayLinkRef makeDisplayLink(const ScreenInfo& screen, FrameHandler onFrame) override;

 private:
  Dispatch& dispatch_;
  XDesktop& desktop_;
};

}  // namespace vistarail::x11
