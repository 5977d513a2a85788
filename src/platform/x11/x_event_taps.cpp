#include "platform/x11/x_event_taps.h"

#include <X11/extensions/XInput2.h>
#include <poll.h>

#include <atomic>
#include <thread>

#include "platform/x11/key_grabs.h"
#include "platform/x11/x_errors.h"

namespace vistarail::x11 {

namespace {

// Core button numbers of the wheel: up, down, left, right.
constexpr unsigned int kWheelButtons[] = {4, 5, 6, 7};
// Points one notch of a wheel scrolls, as a Mac line scroll of a mouse.
constexpr double kNotchPoints = 10;

uint64_t flagsOf(unsigned int state) {
  uint64_t flags = 0;
  if (state & ShiftMask) flags |= kEventFlagMaskShift;
  if (state & ControlMask) flags |= kEventFlagMaskControl;
  if (state & Mod1Mask) flags |= kEventFlagMaskAlternate;
  if (state & Mod4Mask) flags |= kEventFlagMaskCommand;
  return flags;
}

class ListenTap final : public EventTap, public std::enable_shared_from_this<ListenTap> {
 public:
  ListenTap(Display* d, const XServer& server, const XDesktop& desktop, int opcode,
            EventTaps::Callback callback, uint64_t mask)
      : d_(d),
        server_(server),
        desktop_(desktop),
        opcode_(opcode),
        callback_(std::move(callback)),
        mask_(mask) {}
  ~ListenTap() override {
    if (watch_) watch_->cancel();
    XCloseDisplay(d_);
  }
  void watch(Dispatch& dispatch) {
    std::weak_ptr<ListenTap> weak = weak_from_this();
    watch_ = dispatch.watchDescriptor(dispatch.main(), ConnectionNumber(d_),
                                      DescriptorEvent::readable, [weak] {
                                        if (auto self = weak.lock()) self->read();
                                      });
  }
  void setEnabled(bool enabled) override { enabled_ = enabled; }
  bool isEnabled() const override { return enabled_; }

 private:
  void read() {
    bool moved = false;
    while (XPending(d_) > 0) {
      XEvent event;
      XNextEvent(d_, &event);
      XGenericEventCookie& cookie = event.xcookie;
      if (cookie.type != GenericEvent || cookie.extension != opcode_ ||
          !XGetEventData(d_, &cookie)) {
        continue;
      }
      const auto* raw = static_cast<const XIRawEvent*>(cookie.data);
      if (cookie.evtype == XI_RawMotion) {
        moved = true;
      } else if (raw->detail == Button1) {
        const bool down = cookie.evtype == XI_RawButtonPress;
        leftDown_ = down;
        deliver(down ? EventType::leftMouseDown : EventType::leftMouseUp);
      }
      XFreeEventData(d_, &cookie);
    }
    // One position for a batch of motion: a raw event carries none.
    if (moved) deliver(leftDown_ ? EventType::leftMouseDragged : EventType::mouseMoved);
  }
  void deliver(EventType type) {
    if (!enabled_ || !(mask_ & eventMaskBit(type))) return;
    Window root = None, child = None;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned int state = 0;
    XQueryPointer(d_, server_.root(), &root, &child, &x, &y, &wx, &wy, &state);
    TapEvent event;
    event.type = type;
    event.location = desktop_.space().toGlobal(Point{double(x), double(y)});
    event.flags = flagsOf(state);
    callback_(event);
  }

  Display* d_;
  const XServer& server_;
  const XDesktop& desktop_;
  int opcode_;
  EventTaps::Callback callback_;
  uint64_t mask_;
  std::atomic<bool> enabled_{true};
  bool leftDown_ = false;
  DescriptorWatchRef watch_;
};

class ScrollTap final : public EventTap {
 public:
  ScrollTap(Display* d, const XServer& server, const XDesktop& desktop,
            EventTaps::Callback callback)
      : d_(d), server_(server), desktop_(desktop), callback_(std::move(callback)) {}
  ~ScrollTap() override {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    XCloseDisplay(d_);
  }
  bool grab() {
    const unsigned int modifiers = ControlMask | Mod1Mask;
    ErrorTrap trap(d_);
    for (unsigned int button : kWheelButtons) {
      for (unsigned int state : lockVariants(modifiers, Mod2Mask)) {
        XGrabButton(d_, button, state, server_.root(), False, ButtonPressMask, GrabModeSync,
                    GrabModeAsync, None, None);
      }
    }
    if (trap.error() != 0) return false;
    thread_ = std::thread([this] { run(); });
    return true;
  }
  void setEnabled(bool enabled) override { enabled_ = enabled; }
  bool isEnabled() const override { return enabled_; }

 private:
  void run() {
    pollfd fd{ConnectionNumber(d_), POLLIN, 0};
    while (!stop_) {
      if (XPending(d_) == 0 && poll(&fd, 1, 50) <= 0) continue;
      while (XPending(d_) > 0) {
        XEvent event;
        XNextEvent(d_, &event);
        if (event.type == ButtonPress) handle(event.xbutton);
      }
    }
  }
  void handle(const XButtonEvent& press) {
    TapEvent event;
    event.type = EventType::scrollWheel;
    event.location = desktop_.space().toGlobal(Point{double(press.x_root), double(press.y_root)});
    event.flags = flagsOf(press.state);
    switch (press.button) {
      case 4:
        event.scroll.pointDeltaAxis1 = kNotchPoints;
        break;
      case 5:
        event.scroll.pointDeltaAxis1 = -kNotchPoints;
        break;
      case 6:
        event.scroll.pointDeltaAxis2 = kNotchPoints;
        break;
      default:
        event.scroll.pointDeltaAxis2 = -kNotchPoints;
        break;
    }
    const bool swallow = enabled_ && callback_(event) == TapResult::swallow;
    // A scroll the tap lets go reaches the window under the pointer as if
    // never grabbed.
    XAllowEvents(d_, swallow ? AsyncPointer : ReplayPointer, press.time);
    XFlush(d_);
  }

  Display* d_;
  const XServer& server_;
  const XDesktop& desktop_;
  EventTaps::Callback callback_;
  std::atomic<bool> enabled_{true};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace

EventTapRef XEventTaps::createTap(const TapSpec& spec, Callback callback) {
  if (!callback) return nullptr;
  Display* d = XOpenDisplay(server_.displayName().c_str());
  if (!d) return nullptr;
  if (spec.option == TapOption::active) {
    auto tap = std::make_shared<ScrollTap>(d, server_, desktop_, std::move(callback));
    return tap->grab() ? tap : nullptr;
  }
  int opcode = 0, event = 0, error = 0, major = 2, minor = 0;
  if (!XQueryExtension(d, "XInputExtension", &opcode, &event, &error) ||
      XIQueryVersion(d, &major, &minor) != Success) {
    XCloseDisplay(d);
    return nullptr;
  }
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(bits, XI_RawButtonPress);
  XISetMask(bits, XI_RawButtonRelease);
  XISetMask(bits, XI_RawMotion);
  XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
  XISelectEvents(d, server_.root(), &mask, 1);
  XFlush(d);
  auto tap = std::make_shared<ListenTap>(d, server_, desktop_, opcode, std::move(callback),
                                         spec.eventMask);
  tap->watch(dispatch_);
  return tap;
}

}  // namespace vistarail::x11
