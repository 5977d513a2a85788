// Enhanced user interface: an assistive mode in which some applications
// animate every change of their windows' frames, which makes a stream of writes
// lag and wobble. It is switched off before writes and back on once an
// application has been left alone for a moment.

#include "mover/move_rules.h"
#include "mover/window_mover.h"
#include "platform/ax_names.h"

namespace vistarail {

void WindowMover::switchEnhancedUIOff(Pid pid, const AXElement& app) {
  const double now = dispatch_.wallTime();
  bool alreadyOff = false;
  std::optional<bool> cached;
  {
    std::lock_guard guard(mutex_);
    alreadyOff = enhancedUIOff_.contains(pid);
    if (auto it = enhancedUI_.find(pid);
        it != enhancedUI_.end() &&
        now - it->second.checkedWallSeconds < move_rules::kEnhancedUICacheSeconds) {
      cached = it->second.value;
    }
  }
  if (!alreadyOff) {
    bool on = false;
    if (cached) {
      on = *cached;
    } else {
      auto read = ax_.copyAttributeValue(app, ax::kEnhancedUserInterface);
      on = read.isOk() && asBool(*read.value).value_or(false);
      std::lock_guard guard(mutex_);
      enhancedUI_[pid] = EnhancedUIReading{on, now};
    }
    if (!on) return;
    // Not checked: a write goes ahead either way.
    ax_.setAttributeValue(app, ax::kEnhancedUserInterface, AXValue(false));
  }
  uint64_t generation = 0;
  {
    std::lock_guard guard(mutex_);
    EnhancedUIOff& off = enhancedUIOff_[pid];
    if (!alreadyOff || off.generation == 0) off = EnhancedUIOff{++enhancedUIMoves_, app};
    off.lastWriteSeconds = dispatch_.mediaTime();
    if (off.timerQueued) return;
    off.timerQueued = true;
    generation = off.generation;
  }
  restoreEnhancedUIAfter(move_rules::kEnhancedUIRestoreDelaySeconds, pid, generation);
}

void WindowMover::restoreEnhancedUIAfter(double delay, Pid pid, uint64_t generation) {
  // A timer per write would leave an animation's every frame queued behind
  // a slow application; the one timer waits again while writes go on.
  queueFor(pid)->asyncAfter(delay, [weak = weak_from_this(), pid, generation] {
    auto self = weak.lock();
    if (!self) return;
    // A millisecond short counts as quiet: waiting for a rounding error
    // could wait on the same instant for ever.
    constexpr double kSlack = 0.001;
    double wait = 0;
    {
      std::lock_guard guard(self->mutex_);
      auto it = self->enhancedUIOff_.find(pid);
      if (it == self->enhancedUIOff_.end() || it->second.generation != generation) return;
      wait = it->second.lastWriteSeconds + move_rules::kEnhancedUIRestoreDelaySeconds -
             self->dispatch_.mediaTime();
      if (wait < kSlack) it->second.timerQueued = false;
    }
    if (wait >= kSlack) {
      self->restoreEnhancedUIAfter(wait, pid, generation);
      return;
    }
    self->restoreEnhancedUI(pid);
  });
}

bool WindowMover::restoreEnhancedUI(Pid pid, bool evenIfRefused) {
  AXElement app;
  {
    std::lock_guard guard(mutex_);
    auto it = enhancedUIOff_.find(pid);
    if (it == enhancedUIOff_.end()) return true;
    if (!evenIfRefused && dispatch_.mediaTime() < it->second.refusedUntil) return true;
    app = it->second.app;
  }
  for (int attempt = 1;; ++attempt) {
    const AXError error = ax_.setAttributeValue(app, ax::kEnhancedUserInterface, AXValue(true));
    // Still off either way: the record stays so that a later write or
    // restore tries again. An application that let the call time out will
    // not answer the next one sooner, so it is not asked again now.
    if (error == AXError::cannotComplete) return false;
    if (error != AXError::failure) break;
    if (attempt == move_rules::kEnhancedUIRestoreAttempts) {
      std::lock_guard guard(mutex_);
      if (auto it = enhancedUIOff_.find(pid); it != enhancedUIOff_.end()) {
        it->second.refusedUntil = dispatch_.mediaTime() + move_rules::kEnhancedUIRefusedSeconds;
      }
      return true;
    }
    dispatch_.sleep(move_rules::kEnhancedUIRestoreRetrySeconds);
  }
  std::lock_guard guard(mutex_);
  enhancedUIOff_.erase(pid);
  return true;
}

}  // namespace vistarail
