#pragma once
// What the event-tap adapter decides per event, kept free of the platform's
// headers: which events the port knows, whether the tap hands the event back
// to the system, which fields are worth reading, and the name of an active
// tap's thread.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/event_taps.h"

namespace vistarail::macos {

// The port's event type for a raw type code; absent for types it does not
// model (key events and the like, which no mask of the program asks for).
std::optional<EventType> eventTypeFromCode(uint32_t code);

bool isTapDisabledNotice(EventType type);

// Whether the callback returns the event (true) or swallows it. A listen-only
// tap cannot swallow anything, and a notice that the tap was disabled is not
// an event to take away; otherwise an active tap swallows what its owner says.
bool tapReturnsEvent(TapOption option, EventType type, TapResult result);

// The scroll fields are read for scroll events only: every event of the
// user passes the active tap and most of them are not scrolls.
inline bool readsScrollFields(EventType type) {
  return type == EventType::scrollWheel;
}

// An active tap runs its run loop on a thread of its own, named after the
// queue that created the tap so a debugger shows whose thread it is; a queue
// without a label gives the generic name.
inline constexpr const char* kDefaultTapThreadName = "app.vistarail.event-tap";
std::string tapThreadName(const char* creatingQueueLabel);

}  // namespace vistarail::macos
