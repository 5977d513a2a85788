#include "platform/macos/adapters/mac_event_taps.h"

#import <AppKit/AppKit.h>
#include <ApplicationServices/ApplicationServices.h>
#include <dispatch/dispatch.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/macos/adapters/cf_ref.h"
#include "platform/macos/adapters/objc_bridge.h"
#include "platform/macos/tap_translation.h"

namespace vistarail::macos {

namespace {

// What the tap's callback reaches through its user info; freed only once no
// callback can run any more (see the tap's destructor and thread body).
struct TapBox {
  TapOption option = TapOption::listenOnly;
  EventTaps::Callback callback;
};

void readGesture(CGEventRef event, TapEvent& out) {
  NSEvent* gesture = [NSEvent eventWithCGEvent:event];
  if (!gesture || gesture.type != NSEventTypeGesture) return;
  out.convertsToGesture = true;
  for (NSTouch* touch in [gesture touchesMatchingPhase:NSTouchPhaseAny inView:nil]) {
    Touch t;
    t.type = touch.type == NSTouchTypeDirect ? TouchType::direct : TouchType::indirect;
    t.normalizedPosition = {touch.normalizedPosition.x, touch.normalizedPosition.y};
    t.isResting = touch.resting;
    t.phase = static_cast<int>(touch.phase);
    out.touches.add(t);
  }
}

CGEventRef tapCallback(CGEventTapProxy, CGEventType rawType, CGEventRef event, void* userInfo) {
  const auto* box = static_cast<const TapBox*>(userInfo);
  const auto type = eventTypeFromCode(rawType);
  if (!type || !box->callback) return event;
  @autoreleasepool {
    TapEvent tapEvent;
    tapEvent.type = *type;
    if (event) {
      const CGPoint location = CGEventGetLocation(event);  // top-left space, as the port's
      tapEvent.location = {location.x, location.y};
      tapEvent.flags = CGEventGetFlags(event);
      if (readsScrollFields(*type)) {
        tapEvent.scroll.pointDeltaAxis1 =
            CGEventGetDoubleValueField(event, kCGScrollWheelEventPointDeltaAxis1);
        tapEvent.scroll.pointDeltaAxis2 =
            CGEventGetDoubleValueField(event, kCGScrollWheelEventPointDeltaAxis2);
        tapEvent.scroll.isContinuous =
            CGEventGetIntegerValueField(event, kCGScrollWheelEventIsContinuous);
        tapEvent.scroll.scrollPhase =
            CGEventGetIntegerValueField(event, kCGScrollWheelEventScrollPhase);
        tapEvent.scroll.momentumPhase =
            CGEventGetIntegerValueField(event, kCGScrollWheelEventMomentumPhase);
      }
      if (*type == EventType::gesture) readGesture(event, tapEvent);
    }
    const TapResult result = box->callback(tapEvent);
    return tapReturnsEvent(box->option, *type, result) ? event : nullptr;
  }
}

// The thread of an active tap: its run loop, and whether it should end.
struct TapThread {
  std::mutex mutex;
  std::condition_variable changed;
  CFRunLoopRef runLoop = nullptr;  // set once the source is on it
  bool started = false;
  bool stop = false;
  bool exited = false;
  NSThread* thread = nil;
};

class MacEventTap final : public EventTap {
 public:
  MacEventTap(CFRef<CFMachPortRef> port, TapBox* box) : port_(std::move(port)), box_(box) {}

  ~MacEventTap() override {
    CGEventTapEnable(port_.get(), false);
    if (thread_) {
      endThread();
      return;  // the thread body releases the port, the source and the box
    }
    if (source_) CFRunLoopRemoveSource(CFRunLoopGetMain(), source_.get(), kCFRunLoopCommonModes);
    CFMachPortInvalidate(port_.get());
    // The main thread runs the callbacks; one may be on its way out now.
    auto* garbage = new std::pair<CFRef<CFMachPortRef>, TapBox*>(std::move(port_), box_);
    dispatch_async_f(dispatch_get_main_queue(), garbage, [](void* context) {
      auto* pair = static_cast<std::pair<CFRef<CFMachPortRef>, TapBox*>*>(context);
      delete pair->second;
      delete pair;
    });
  }

  void setEnabled(bool enabled) override { CGEventTapEnable(port_.get(), enabled); }
  bool isEnabled() const override { return CGEventTapIsEnabled(port_.get()); }

  bool attachToMainRunLoop() {
    source_ = CFRef<CFRunLoopSourceRef>::adopt(
        CFMachPortCreateRunLoopSource(kCFAllocatorDefault, port_.get(), 0));
    if (!source_) return false;
    CFRunLoopAddSource(CFRunLoopGetMain(), source_.get(), kCFRunLoopCommonModes);
    return true;
  }

  // Starts the tap's own thread and waits until its source is on the
  // thread's run loop, so that the tap is live when createTap returns.
  bool startThread(const std::string& name) {
    source_ = CFRef<CFRunLoopSourceRef>::adopt(
        CFMachPortCreateRunLoopSource(kCFAllocatorDefault, port_.get(), 0));
    if (!source_) return false;
    auto control = std::make_shared<TapThread>();
    // The block keeps its own references: the thread may outlive this object.
    CFRef<CFMachPortRef> port = port_;
    CFRef<CFRunLoopSourceRef> source = source_;
    TapBox* box = box_;
    NSThread* thread = [[NSThread alloc] initWithBlock:^{
      CFRunLoopRef runLoop = CFRunLoopGetCurrent();
      CFRunLoopAddSource(runLoop, source.get(), kCFRunLoopCommonModes);
      {
        std::lock_guard lock(control->mutex);
        control->runLoop = runLoop;
        control->started = true;
      }
      control->changed.notify_all();
      for (;;) {
        {
          std::lock_guard lock(control->mutex);
          if (control->stop) break;
        }
        // Returns when stopped from the destructor, else once a second.
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1.0, false);
      }
      CFRunLoopRemoveSource(runLoop, source.get(), kCFRunLoopCommonModes);
      CFMachPortInvalidate(port.get());
      // No callback of this tap can run any more: they all ran on this thread.
      delete box;
      {
        std::lock_guard lock(control->mutex);
        control->exited = true;
      }
      control->changed.notify_all();
    }];
    thread.name = nsString(name);
    thread.qualityOfService = NSQualityOfServiceUserInteractive;
    control->thread = thread;
    thread_ = control;
    [thread start];
    std::unique_lock lock(control->mutex);
    control->changed.wait(lock, [&] { return control->started; });
    return true;
  }

 private:
  void endThread() {
    TapThread& control = *thread_;
    CFRunLoopRef runLoop = nullptr;
    {
      std::lock_guard lock(control.mutex);
      control.stop = true;
      runLoop = control.runLoop;
    }
    CFRunLoopStop(runLoop);
    CFRunLoopWakeUp(runLoop);
    // Dropped from the tap's own callback: the thread ends after it returns.
    if (CFRunLoopGetCurrent() == runLoop) return;
    std::unique_lock lock(control.mutex);
    control.changed.wait(lock, [&] { return control.exited; });
  }

  CFRef<CFMachPortRef> port_;
  CFRef<CFRunLoopSourceRef> source_;
  TapBox* box_;
  std::shared_ptr<TapThread> thread_;
};

}  // namespace

EventTapRef MacEventTaps::createTap(const TapSpec& spec, Callback callback) {
  auto* box = new TapBox{spec.option, std::move(callback)};
  const CGEventTapPlacement placement =
      spec.placement == TapPlacement::headInsert ? kCGHeadInsertEventTap : kCGTailAppendEventTap;
  const CGEventTapOptions options =
      spec.option == TapOption::listenOnly ? kCGEventTapOptionListenOnly : kCGEventTapOptionDefault;
  // Create: ours to release (the tap's CFRef does).
  auto port = CFRef<CFMachPortRef>::adopt(
      CGEventTapCreate(kCGSessionEventTap, placement, options, spec.eventMask, tapCallback, box));
  if (!port) {
    delete box;
    return nullptr;
  }
  auto tap = std::make_shared<MacEventTap>(std::move(port), box);
  const bool attached =
      spec.option == TapOption::listenOnly
          ? tap->attachToMainRunLoop()
          : tap->startThread(tapThreadName(dispatch_queue_get_label(DISPATCH_CURRENT_QUEUE_LABEL)));
  if (!attached) return nullptr;
  tap->setEnabled(true);
  return tap;
}

}  // namespace vistarail::macos
