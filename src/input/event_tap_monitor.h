#pragma once
// The global pointer and trackpad input the window manager needs while other
// applications are frontmost, from two event taps:
//
// - a listen-only tap on the main queue for left-button presses, releases
//   and drags, pointer movement and trackpad gestures;
// - an active scroll tap on a thread of its own ("app.vistarail.scroll-tap")
//   that swallows scrolls made with Control and Option held (Command not)
//   over a managed display, and hands them to the main queue as samples.
//   Every other scroll passes untouched.
//
// A tap that cannot be created is retried every 2 s, with one log line each
// time; a tap the system disables is enabled again from its own callback.
// Create with std::make_shared: retries and samples hold it weakly.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "base/geometry.h"
#include "platform/dispatch.h"
#include "platform/event_taps.h"
#include "platform/gesture.h"

namespace vistarail {

struct ScrollSample {
  Point location;
  double deltaX = 0;  // horizontal point delta
  double deltaY = 0;  // vertical point delta
  bool isContinuous = false;
  int64_t phase = 0;
  int64_t momentumPhase = 0;
};

inline constexpr uint64_t kScrollModifierMask =
    kEventFlagMaskControl | kEventFlagMaskAlternate | kEventFlagMaskCommand;
inline constexpr uint64_t kScrollModifiers = kEventFlagMaskControl | kEventFlagMaskAlternate;

// Control and Option held, Command not; Shift and the rest do not matter.
constexpr bool isModifierScroll(uint64_t flags) {
  return (flags & kScrollModifierMask) == kScrollModifiers;
}

class EventTapMonitor : public std::enable_shared_from_this<EventTapMonitor> {
 public:
  static constexpr double kRetrySeconds = 2.0;
  static constexpr const char* kScrollThreadName = "app.vistarail.scroll-tap";
  static constexpr std::string_view kListenRetryLog =
      "Vistarail: could not create listen event tap, retrying";
  static constexpr std::string_view kScrollRetryLog =
      "Vistarail: could not create scroll event tap, retrying";

  using Log = std::function<void(std::string_view)>;
  // log receives the two retry lines; by default they go to standard error.
  EventTapMonitor(EventTaps& taps, Dispatch& dispatch, Log log = nullptr);
  ~EventTapMonitor();
  EventTapMonitor(const EventTapMonitor&) = delete;
  EventTapMonitor& operator=(const EventTapMonitor&) = delete;

  // Set before start; all are called on the main queue.
  std::function<void(const GestureTouches&)> onGesture;
  std::function<void(bool isDown, Point location)> onMouseButton;
  std::function<void(Point)> onMouseDragged;
  std::function<void(Point)> onMouseMoved;
  std::function<void(const ScrollSample&)> onModifierScroll;

  // Main queue. After stop the monitor stays stopped.
  void start();
  void stop();

  // Main queue writes, scroll thread reads.
  void setInterceptScroll(bool intercept);
  void setScrollFrames(std::vector<Rect> frames);

  bool hasScrollTap() const;

  // The scroll tap's callback: whether this event is swallowed. Allocates
  // only for an event it swallows.
  TapResult scrollCallback(const TapEvent& event);
  // Just the decision: the lock, the point-in-rectangles test and the flags.
  bool shouldSwallow(Point location, uint64_t flags) const;

 private:
  void createListenTap();
  void startScrollThread();
  void createScrollTap();
  void listenCallback(const TapEvent& event);

  EventTaps& taps_;
  Dispatch& dispatch_;
  Log log_;
  std::atomic<bool> stopped_{false};
  bool started_ = false;

  EventTapRef listenTap_;       // main queue
  QueueRef scrollThread_;       // main queue
  mutable std::mutex tapLock_;  // scrollTap_: made on the scroll thread, dropped by stop
  EventTapRef scrollTap_;

  mutable std::mutex flagLock_;
  bool interceptScroll_ = false;
  std::vector<Rect> scrollFrames_;
};

}  // namespace vistarail
