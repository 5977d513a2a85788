#pragma once
// The event-tap port over Quartz event taps. A listen-only tap's source goes
// on the main run loop, so its callback runs on the main thread. An active
// tap gets a thread of its own, named after the queue that created it, whose
// run loop carries only that tap, so a busy main thread never delays (or
// gets the tap disabled for) the user's input.

#include "platform/event_taps.h"

namespace vistarail::macos {

class MacEventTaps final : public EventTaps {
 public:
  EventTapRef createTap(const TapSpec& spec, Callback callback) override;
};

}  // namespace vistarail::macos
