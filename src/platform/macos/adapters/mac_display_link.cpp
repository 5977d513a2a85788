#include "platform/macos/adapters/mac_display_link.h"

#include <CoreVideo/CoreVideo.h>
#include <dispatch/dispatch.h>

#include <memory>
#include <utility>

#include "platform/macos/frame_gate.h"

namespace vistarail::macos {

namespace {

// Shared by the link, its callback and every hop on its way; whichever of
// them finishes last frees it.
struct LinkState {
  FrameGate gate;
  DisplayLinkFactory::FrameHandler onFrame;  // main queue only
  Dispatch* dispatch = nullptr;
};

struct Hop {
  std::shared_ptr<LinkState> state;
  uint64_t run = 0;
};

// On the main queue.
void deliver(void* context) {
  std::unique_ptr<Hop> hop(static_cast<Hop*>(context));
  if (!hop->state->gate.finishPost(hop->run)) return;
  // A copy: the handler may stop the link or drop its last handle.
  const auto state = hop->state;
  if (state->onFrame) state->onFrame(state->dispatch->mediaTime());
}

// On the display link's thread.
CVReturn outputCallback(CVDisplayLinkRef, const CVTimeStamp*, const CVTimeStamp*, CVOptionFlags,
                        CVOptionFlags*, void* context) {
  const auto& state = *static_cast<std::shared_ptr<LinkState>*>(context);
  if (const auto run = state->gate.beginPost()) {
    dispatch_async_f(dispatch_get_main_queue(), new Hop{state, *run}, deliver);
  }
  return kCVReturnSuccess;
}

class MacDisplayLink final : public DisplayLink {
 public:
  MacDisplayLink(CGDirectDisplayID display, std::shared_ptr<LinkState> state)
      : state_(std::move(state)), context_(new std::shared_ptr<LinkState>(state_)) {
    if (CVDisplayLinkCreateWithCGDisplay(display, &link_) != kCVReturnSuccess) link_ = nullptr;
    if (link_) CVDisplayLinkSetOutputCallback(link_, outputCallback, context_);
  }
  ~MacDisplayLink() override {
    state_->gate.stop();
    if (link_) {
      // Stopping waits for a callback in progress, so the context can go.
      CVDisplayLinkStop(link_);
      CVDisplayLinkRelease(link_);
    }
    delete context_;
  }
  void start() override {
    if (!link_ || state_->gate.running()) return;
    state_->gate.start();
    if (CVDisplayLinkStart(link_) != kCVReturnSuccess) state_->gate.stop();
  }
  void stop() override {
    // The gate drops a frame already on its way; the link stops firing.
    state_->gate.stop();
    if (link_) CVDisplayLinkStop(link_);
  }
  bool isRunning() const override { return state_->gate.running(); }

 private:
  std::shared_ptr<LinkState> state_;
  std::shared_ptr<LinkState>* context_;  // what the callback is given
  CVDisplayLinkRef link_ = nullptr;
};

}  // namespace

DisplayLinkRef MacDisplayLinkFactory::makeDisplayLink(const ScreenInfo& screen,
                                                      FrameHandler onFrame) {
  auto state = std::make_shared<LinkState>();
  state->onFrame = std::move(onFrame);
  state->dispatch = &dispatch_;
  // A screen whose number cannot be read gets the main display's refresh.
  const CGDirectDisplayID display = screen.screenNumber.value_or(CGMainDisplayID());
  return std::make_shared<MacDisplayLink>(display, std::move(state));
}

}  // namespace vistarail::macos
