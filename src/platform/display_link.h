#pragma once
// A ticker synchronised with a screen's refresh, shaped after the platform's
// display link: created for one screen with a per-frame callback, started
// (added to the main run loop) and stopped (invalidated). Frames arrive on
// the main queue with the current media time, the same monotonic clock as
// Dispatch::mediaTime().

#include <functional>
#include <memory>

#include "platform/workspace.h"

namespace vistarail {

class DisplayLink {
 public:
  virtual ~DisplayLink() = default;
  // Begins delivering frames; a running link is left alone.
  virtual void start() = 0;
  // No frame is delivered after this returns, not even one already due. A
  // stopped link may be started again. Dropping the last handle also stops it.
  virtual void stop() = 0;
  virtual bool isRunning() const = 0;
};
using DisplayLinkRef = std::shared_ptr<DisplayLink>;

class DisplayLinkFactory {
 public:
  using FrameHandler = std::function<void(double mediaTimeSeconds)>;

  virtual ~DisplayLinkFactory() = default;
  // A stopped link for the screen. The handler may stop the link, or drop
  // its handle, from inside a frame.
  virtual DisplayLinkRef makeDisplayLink(const ScreenInfo& screen, FrameHandler onFrame) = 0;
};

}  // namespace vistarail
