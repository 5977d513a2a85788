#include "motion/animator.h"

#include <utility>

namespace vistarail {

Animator::Animator(DisplayLinkFactory& links, const Dispatch& clock, ScreenList screens)
    : links_(links), clock_(clock), screens_(std::move(screens)) {}

Animator::~Animator() {
  stop();
}

void Animator::start() {
  if (link_) return;
  const std::vector<ScreenInfo> screens = screens_ ? screens_() : std::vector<ScreenInfo>{};
  if (screens.empty()) return;
  DisplayLinkRef link = links_.makeDisplayLink(screens.front(), [this](double now) { frame(now); });
  if (!link) return;
  link_ = std::move(link);
  lastTime_ = clock_.mediaTime();
  link_->start();
}

void Animator::stop() {
  if (!link_) return;
  // Cleared before stopping so that a tick arriving from inside stop() finds
  // the animator idle.
  DisplayLinkRef link = std::move(link_);
  link_.reset();
  link->stop();
}

void Animator::frame(double mediaTimeSeconds) {
  if (!link_) return;
  double dt = mediaTimeSeconds - lastTime_;
  lastTime_ = mediaTimeSeconds;
  if (!(dt >= kMinFrameSeconds)) dt = kMinFrameSeconds;  // also catches a clock gone NaN
  if (dt > kMaxFrameSeconds) dt = kMaxFrameSeconds;
  const bool keepGoing = onTick_ && onTick_(dt);
  if (!keepGoing) stop();
}

}  // namespace vistarail
