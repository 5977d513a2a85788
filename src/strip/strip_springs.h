#pragma once
// One animation frame of a strip's springs: the scroll and every column's
// slide offset.

#include "strip/strip.h"

namespace vistarail {

// The animations setting: on, springs move; off, they jump to their targets.
enum class SpringMotion { animated, instant };
// Who moves the scroll: its spring, or a finger on the trackpad (then the
// spring is left alone and the strip counts as moving).
enum class ScrollDriver { spring, finger };

struct SpringFrame {
  double stiffness = 0;
  double dtSeconds = 0;
  SpringMotion motion = SpringMotion::animated;
  ScrollDriver scrollDriver = ScrollDriver::spring;
};

// Steps (or snaps) the scroll and every column offset. Returns whether
// anything is still moving: with animations on, a spring unsettled after its
// step; with them off, a spring that had to jump, so that the frame that
// lands everything is followed by one that reports rest (a spring already
// within the settle distance counts as at rest).
bool advanceStripSprings(Strip& strip, const SpringFrame& frame);

}  // namespace vistarail
