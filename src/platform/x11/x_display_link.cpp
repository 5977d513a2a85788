#include "platform/x11/x_display_link.h"

#include <cstdio>
#include <memory>

#include "platform/x11/x_connection.h"

namespace vistarail::x11 {

namespace {

class TimerDisplayLink final : public DisplayLink,
                               public std::enable_shared_from_this<TimerDisplayLink> {
 public:
  TimerDisplayLink(Dispatch& dispatch, double interval, DisplayLinkFactory::FrameHandler onFrame)
      : dispatch_(dispatch), interval_(interval), onFrame_(std::move(onFrame)) {}
  ~TimerDisplayLink() override { stop(); }

  void start() override {
    if (timer_) return;
    std::weak_ptr<TimerDisplayLink> weak = weak_from_this();
    const uint64_t generation = ++generation_;
    timer_ = dispatch_.scheduleRepeating(dispatch_.main(), interval_, [weak, generation] {
      auto self = weak.lock();
      // A frame already on its way when the link stopped is not delivered.
      if (!self || !self->timer_ || self->generation_ != generation) return;
      if (tracing()) std::fprintf(stderr, "x11 frame %.6f\n", traceClock());
      auto handler = self->onFrame_;
      handler(self->dispatch_.mediaTime());
    });
  }
  void stop() override {
    if (!timer_) return;
    timer_->invalidate();
    timer_.reset();
    ++generation_;
  }
  bool isRunning() const override { return timer_ != nullptr; }

 private:
  Dispatch& dispatch_;
  double interval_;
  DisplayLinkFactory::FrameHandler onFrame_;
  RepeatingTimerRef timer_;
  uint64_t generation_ = 0;
};

}  // namespace

DisplayLinkRef XDisplayLinkFactory::makeDisplayLink(const ScreenInfo& screen,
                                                    FrameHandler onFrame) {
  double rate = 60;
  for (const DisplayRecord& d : desktop_.displays()) {
    if (d.screen.screenNumber == screen.screenNumber) rate = d.refreshRate;
  }
  return std::make_shared<TimerDisplayLink>(dispatch_, 1.0 / rate, std::move(onFrame));
}

}  // namespace vistarail::x11
