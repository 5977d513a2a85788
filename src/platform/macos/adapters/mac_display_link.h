#pragma once
// Display links over CoreVideo: one link per display, firing on a thread of
// the system's; each refresh hops to the main queue (at most one on its way
// at a time) and is delivered there with the host clock's media time.

#include "platform/dispatch.h"
#include "platform/display_link.h"

namespace vistarail::macos {

class MacDisplayLinkFactory final : public DisplayLinkFactory {
 public:
  explicit MacDisplayLinkFactory(Dispatch& dispatch) : dispatch_(dispatch) {}
  DisplayLinkRef makeDisplayLink(const ScreenInfo& screen, FrameHandler onFrame) override;

 private:
  Dispatch& dispatch_;
};

}  // namespace vistarail::macos
