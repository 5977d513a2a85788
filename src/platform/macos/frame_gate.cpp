#include "platform/macos/frame_gate.h"

namespace vistarail::macos {

void FrameGate::start() {
  std::lock_guard lock(mutex_);
  if (running_) return;
  ++run_;
  running_ = true;
}

void FrameGate::stop() {
  std::lock_guard lock(mutex_);
  running_ = false;
}

bool FrameGate::running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

std::optional<uint64_t> FrameGate::beginPost() {
  std::lock_guard lock(mutex_);
  if (!running_ || posted_) return std::nullopt;
  posted_ = true;
  return run_;
}

bool FrameGate::finishPost(uint64_t run) {
  std::lock_guard lock(mutex_);
  posted_ = false;
  return running_ && run == run_;
}

}  // namespace vistarail::macos
