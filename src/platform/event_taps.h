#pragma once
// Quartz event taps: a callback placed in the session's event stream that sees
// the events of the types in its mask. A listen-only tap only observes; an
// active tap decides for each event whether it goes on to its destination.
// The system may disable a tap (a callback that took too long, or user
// input); the tap's callback is then told with one of the two disable types,
// and the tap stays off until it is enabled again.
//
// A tap delivers on the thread that created it (the run loop it was added
// to): the adapter calls the callback there, or, for an active tap, on the
// thread the event passes through, which is the creating thread's run loop on
// macOS. Either way the callback must not block.

#include <cstdint>
#include <functional>
#include <memory>

#include "base/geometry.h"
#include "platform/gesture.h"

namespace vistarail {

enum class EventType : uint32_t {
  leftMouseDown = 1,
  leftMouseUp = 2,
  mouseMoved = 5,
  leftMouseDragged = 6,
  scrollWheel = 22,
  gesture = 29,
  tapDisabledByTimeout = 0xFFFFFFFE,
  tapDisabledByUserInput = 0xFFFFFFFF,
};

constexpr uint64_t eventMaskBit(EventType type) {
  return uint64_t{1} << static_cast<uint32_t>(type);
}

// Device-independent modifier flags of an event.
inline constexpr uint64_t kEventFlagMaskShift = 0x20000;
inline constexpr uint64_t kEventFlagMaskControl = 0x40000;
inline constexpr uint64_t kEventFlagMaskAlternate = 0x80000;
inline constexpr uint64_t kEventFlagMaskCommand = 0x100000;

// The scroll-wheel fields of an event, read by their field numbers.
struct ScrollFields {
  double pointDeltaAxis1 = 0;  // field 96: vertical point delta
  double pointDeltaAxis2 = 0;  // field 97: horizontal point delta
  int64_t isContinuous = 0;    // field 88: non-zero for a trackpad or smooth mouse
  int64_t scrollPhase = 0;     // field 99: 1 began, 2 changed, 4 ended, 8 cancelled, 128 may begin
  int64_t momentumPhase = 0;   // field 123: 0 none, 1 began, 2 continue, 3 ended
};

// One event as a tap sees it. Locations are global, top-left origin, y down.
struct TapEvent {
  EventType type = EventType::mouseMoved;
  Point location{};
  uint64_t flags = 0;
  ScrollFields scroll{};           // scroll-wheel events only
  GestureTouches touches{};        // gesture events only
  bool convertsToGesture = false;  // whether AppKit makes a gesture event of it
};

enum class TapResult { passEvent, swallow };

enum class TapPlacement { headInsert = 0, tailAppend = 1 };
enum class TapOption { active = 0, listenOnly = 1 };

struct TapSpec {
  TapPlacement placement = TapPlacement::tailAppend;
  TapOption option = TapOption::listenOnly;
  uint64_t eventMask = 0;
};

class EventTap {
 public:
  virtual ~EventTap() = default;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool isEnabled() const = 0;
};
using EventTapRef = std::shared_ptr<EventTap>;

class EventTaps {
 public:
  virtual ~EventTaps() = default;
  // A listen-only tap's result is ignored. Returns null when the system
  // refuses the tap (no permission, too many taps). The tap is created
  // enabled and lives until its last handle is dropped.
  using Callback = std::function<TapResult(const TapEvent&)>;
  virtual EventTapRef createTap(const TapSpec& spec, Callback callback) = 0;
};

}  // namespace vistarail
