#include "strip/strip_springs.h"

namespace vistarail {

namespace {

bool advance(Spring& spring, const SpringFrame& frame) {
  if (frame.motion == SpringMotion::instant) {
    const bool moved = !spring.isSettled();
    spring.snap();
    return moved;
  }
  spring.step(frame.stiffness, frame.dtSeconds);
  return !spring.isSettled();
}

}  // namespace

bool advanceStripSprings(Strip& strip, const SpringFrame& frame) {
  bool moving = false;
  if (frame.scrollDriver == ScrollDriver::finger) {
    moving = true;
  } else {
    moving = advance(strip.scroll, frame) || moving;
  }
  for (Column& column : strip.columns) moving = advance(column.offset, frame) || moving;
  return moving;
}

}  // namespace vistarail
