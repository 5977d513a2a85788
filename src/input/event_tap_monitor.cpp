#include "input/event_tap_monitor.h"

#include <cstdio>
#include <string>

namespace vistarail {

namespace {

constexpr uint64_t kListenMask =
    eventMaskBit(EventType::leftMouseDown) | eventMaskBit(EventType::leftMouseUp) |
    eventMaskBit(EventType::mouseMoved) | eventMaskBit(EventType::leftMouseDragged) |
    eventMaskBit(EventType::gesture);
static_assert(kListenMask == 0x20000066);
constexpr uint64_t kScrollMask = eventMaskBit(EventType::scrollWheel);
static_assert(kScrollMask == 0x400000);

bool isDisableNotice(EventType type) {
  return type == EventType::tapDisabledByTimeout || type == EventType::tapDisabledByUserInput;
}

void logToStandardError(std::string_view line) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace

EventTapMonitor::EventTapMonitor(EventTaps& taps, Dispatch& dispatch, Log log)
    : taps_(taps), dispatch_(dispatch), log_(log ? std::move(log) : Log(logToStandardError)) {}

EventTapMonitor::~EventTapMonitor() {
  stop();
}

void EventTapMonitor::start() {
  if (started_ || stopped_) return;
  started_ = true;
  createListenTap();
  startScrollThread();
}

void EventTapMonitor::stop() {
  stopped_ = true;
  if (listenTap_) listenTap_->setEnabled(false);
  listenTap_.reset();
  EventTapRef scroll;
  {
    std::lock_guard guard(tapLock_);
    scroll = std::move(scrollTap_);
  }
  if (scroll) scroll->setEnabled(false);
  scrollThread_.reset();
}

void EventTapMonitor::setInterceptScroll(bool intercept) {
  std::lock_guard guard(flagLock_);
  interceptScroll_ = intercept;
}

void EventTapMonitor::setScrollFrames(std::vector<Rect> frames) {
  std::lock_guard guard(flagLock_);
  scrollFrames_ = std::move(frames);
}

bool EventTapMonitor::hasScrollTap() const {
  std::lock_guard guard(tapLock_);
  return scrollTap_ != nullptr;
}

void EventTapMonitor::createListenTap() {
  if (listenTap_ || stopped_) return;
  std::weak_ptr<EventTapMonitor> weak = weak_from_this();
  listenTap_ = taps_.createTap({TapPlacement::tailAppend, TapOption::listenOnly, kListenMask},
                               [weak](const TapEvent& event) {
                                 if (auto self = weak.lock()) self->listenCallback(event);
                                 return TapResult::passEvent;
                               });
  if (listenTap_) {
    listenTap_->setEnabled(true);
    return;
  }
  log_(kListenRetryLog);
  dispatch_.main()->asyncAfter(kRetrySeconds, [weak] {
    if (auto self = weak.lock()) self->createListenTap();
  });
}

void EventTapMonitor::listenCallback(const TapEvent& event) {
  switch (event.type) {
    case EventType::leftMouseDown:
      if (onMouseButton) onMouseButton(true, event.location);
      break;
    case EventType::leftMouseUp:
      if (onMouseButton) onMouseButton(false, event.location);
      break;
    case EventType::mouseMoved:
      if (onMouseMoved) onMouseMoved(event.location);
      break;
    case EventType::leftMouseDragged:
      if (onMouseDragged) onMouseDragged(event.location);
      break;
    case EventType::gesture:
      if (event.convertsToGesture && onGesture) onGesture(event.touches);
      break;
    case EventType::tapDisabledByTimeout:
    case EventType::tapDisabledByUserInput:
      if (listenTap_) listenTap_->setEnabled(true);
      break;
    default:
      break;
  }
}

void EventTapMonitor::startScrollThread() {
  if (scrollThread_ || stopped_) return;
  scrollThread_ = dispatch_.makeSerialQueue(kScrollThreadName);
  scrollThread_->async([weak = weak_from_this()] {
    if (auto self = weak.lock()) self->createScrollTap();
  });
}

// On the scroll thread.
void EventTapMonitor::createScrollTap() {
  if (stopped_) return;
  std::weak_ptr<EventTapMonitor> weak = weak_from_this();
  EventTapRef tap = taps_.createTap(
      {TapPlacement::headInsert, TapOption::active, kScrollMask}, [weak](const TapEvent& event) {
        auto self = weak.lock();
        return self ? self->scrollCallback(event) : TapResult::passEvent;
      });
  if (tap) {
    tap->setEnabled(true);
    std::lock_guard guard(tapLock_);
    if (stopped_) {
      tap->setEnabled(false);
      return;
    }
    scrollTap_ = std::move(tap);
    return;
  }
  // The log and whatever it writes into belong to the main queue.
  dispatch_.main()->async([weak] {
    if (auto self = weak.lock()) self->log_(kScrollRetryLog);
  });
  dispatch_.main()->asyncAfter(kRetrySeconds, [weak] {
    auto self = weak.lock();
    if (!self || self->stopped_) return;
    self->scrollThread_.reset();
    self->startScrollThread();
  });
}

bool EventTapMonitor::shouldSwallow(Point location, uint64_t flags) const {
  if (!isModifierScroll(flags)) return false;
  std::lock_guard guard(flagLock_);
  if (!interceptScroll_) return false;
  for (const Rect& frame : scrollFrames_) {
    if (frame.contains(location)) return true;
  }
  return false;
}

// On the scroll thread: every scroll of the session passes here.
TapResult EventTapMonitor::scrollCallback(const TapEvent& event) {
  if (isDisableNotice(event.type)) {
    EventTapRef tap;
    {
      std::lock_guard guard(tapLock_);
      tap = scrollTap_;
    }
    if (tap) tap->setEnabled(true);
    return TapResult::passEvent;
  }
  if (event.type != EventType::scrollWheel || !shouldSwallow(event.location, event.flags)) {
    return TapResult::passEvent;
  }
  const ScrollSample sample{event.location,
                            event.scroll.pointDeltaAxis2,
                            event.scroll.pointDeltaAxis1,
                            event.scroll.isContinuous != 0,
                            event.scroll.scrollPhase,
                            event.scroll.momentumPhase};
  dispatch_.main()->async([weak = weak_from_this(), sample] {
    auto self = weak.lock();
    if (self && self->onModifierScroll) self->onModifierScroll(sample);
  });
  return TapResult::swallow;
}

}  // namespace vistarail
