#include "platform/sim/adapters/sim_display_link.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vistarail::sim {

struct SimDisplayLinkFactory::LinkState {
  Dispatch* dispatch = nullptr;
  double intervalSeconds = 1.0 / SimDisplayLinkFactory::kDefaultRefreshRateHz;
  DisplayLinkFactory::FrameHandler onFrame;
  RepeatingTimerRef timer;
  std::shared_ptr<size_t> framesDelivered;
  bool running = false;
};

namespace {

double clampRate(double hz) {
  if (!std::isfinite(hz)) return SimDisplayLinkFactory::kDefaultRefreshRateHz;
  return std::clamp(hz, SimDisplayLinkFactory::kMinRefreshRateHz,
                    SimDisplayLinkFactory::kMaxRefreshRateHz);
}

class SimDisplayLink final : public DisplayLink {
 public:
  explicit SimDisplayLink(std::shared_ptr<SimDisplayLinkFactory::LinkState> state)
      : state_(std::move(state)) {}
  ~SimDisplayLink() override { stop(); }

  void start() override {
    if (state_->running) return;
    state_->running = true;
    std::weak_ptr<SimDisplayLinkFactory::LinkState> weak = state_;
    Dispatch& dispatch = *state_->dispatch;
    state_->timer = dispatch.scheduleRepeating(dispatch.main(), state_->intervalSeconds, [weak] {
      // Holding the state for the whole frame lets the handler stop the link
      // or drop its handle without destroying the handler while it runs.
      auto state = weak.lock();
      if (!state || !state->running || !state->onFrame) return;
      ++*state->framesDelivered;
      state->onFrame(state->dispatch->mediaTime());
    });
  }

  void stop() override {
    state_->running = false;
    if (state_->timer) state_->timer->invalidate();
    state_->timer.reset();
  }

  bool isRunning() const override { return state_->running; }

 private:
  std::shared_ptr<SimDisplayLinkFactory::LinkState> state_;
};

}  // namespace

SimDisplayLinkFactory::SimDisplayLinkFactory(Dispatch& dispatch, double refreshRateHz)
    : dispatch_(dispatch), refreshRateHz_(clampRate(refreshRateHz)) {}

SimDisplayLinkFactory::~SimDisplayLinkFactory() {
  // The simulated screens go away with the factory: no link ticks on.
  for (auto& weak : links_) {
    if (auto state = weak.lock()) {
      state->running = false;
      if (state->timer) state->timer->invalidate();
    }
  }
}

DisplayLinkRef SimDisplayLinkFactory::makeDisplayLink(const ScreenInfo& /*screen*/,
                                                      FrameHandler onFrame) {
  std::erase_if(links_, [](const auto& weak) { return weak.expired(); });
  auto state = std::make_shared<LinkState>();
  state->dispatch = &dispatch_;
  state->intervalSeconds = 1.0 / refreshRateHz_;
  state->onFrame = std::move(onFrame);
  state->framesDelivered = framesDelivered_;
  links_.push_back(state);
  ++linksCreated_;
  return std::make_shared<SimDisplayLink>(std::move(state));
}

void SimDisplayLinkFactory::setRefreshRateHz(double hz) {
  refreshRateHz_ = clampRate(hz);
}

size_t SimDisplayLinkFactory::runningLinkCount() const {
  return static_cast<size_t>(std::count_if(links_.begin(), links_.end(), [](const auto& weak) {
    auto state = weak.lock();
    return state && state->running;
  }));
}

}  // namespace vistarail::sim
