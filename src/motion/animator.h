#pragma once
// The frame clock of every animation: a display link on the first screen that
// calls onTick once per frame with the time since the previous frame, and
// stops as soon as onTick says nothing moves any more, so an idle system does
// no per-frame work.
//
// The frame time is clamped to 1/240 ... 0.05 s: a stalled frame must not
// make the springs jump, and a burst of early frames must not freeze them.

#include <functional>
#include <vector>

#include "platform/dispatch.h"
#include "platform/display_link.h"
#include "platform/workspace.h"

namespace vistarail {

class Animator {
 public:
  static constexpr double kMinFrameSeconds = 1.0 / 240;
  static constexpr double kMaxFrameSeconds = 0.05;

  // Returns whether anything still moves.
  using TickHandler = std::function<bool(double dtSeconds)>;
  // The system's screens, primary first.
  using ScreenList = std::function<std::vector<ScreenInfo>()>;

  // clock supplies the media time at start; all three must outlive the animator.
  Animator(DisplayLinkFactory& links, const Dispatch& clock, ScreenList screens);
  ~Animator();
  Animator(const Animator&) = delete;
  Animator& operator=(const Animator&) = delete;

  void setOnTick(TickHandler onTick) { onTick_ = std::move(onTick); }

  // Idempotent: a running animator keeps its link and its clock. Without any
  // screen nothing starts.
  void start();
  // Stops ticking at once (used when management pauses or the program quits).
  void stop();
  bool isRunning() const { return link_ != nullptr; }

 private:
  void frame(double mediaTimeSeconds);

  DisplayLinkFactory& links_;
  const Dispatch& clock_;
  ScreenList screens_;
  TickHandler onTick_;
  DisplayLinkRef link_;
  double lastTime_ = 0;
};

}  // namespace vistarail
