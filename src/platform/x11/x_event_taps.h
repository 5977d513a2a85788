#pragma once
// Event taps over X11. The listen-only tap reads XInput2 raw events (every
// button press and release and pointer motion of the session, whichever
// window they go to) on a connection of its own, read by the main queue
// that creates it; a raw event carries no position, so the pointer is asked
// once per batch of motion. The active tap for scrolls is a passive,
// synchronous grab of the wheel buttons with Control and Alt held (with the
// lock-key variants): each such scroll reaches the tap first, on a thread of
// the tap's own, and is then either swallowed or replayed to the window under
// the pointer. Scrolls without those modifiers never reach the active tap,
// which would pass them on anyway. Gestures do not exist on X.

#include <memory>

#include "platform/dispatch.h"
#include "platform/event_taps.h"
#include "platform/x11/x_connection.h"
#include "platform/x11/x_desktop.h"

namespace vistarail::x11 {

class XEventTaps final : public EventTaps {
 public:
  XEventTaps(XServer& server, XDesktop& desktop, Dispatch& dispatch)
      : server_(server), desktop_(desktop), dispatch_(dispatch) {}
  // Null when the server lacks XInput 2 (listen) or the grab is refused
  // (active), as the system refuses a tap.
  EventTapRef createTap(const TapSpec& spec, Callback callback) override;

 private:
  XServer& server_;
  XDesktop& desktop_;
  Dispatch& dispatch_;
};

}  // namespace vistarail::x11
