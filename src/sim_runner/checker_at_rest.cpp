// The checker's questions about a program that should be at rest: overlays
// that stay up, frames still written, work piling up, timers still running,
// a scroll past its bounds, restores that never report.

#include <algorithm>
#include <cmath>

#include "mover/move_rules.h"
#include "sim_runner/checker.h"
#include "sim_runner/session.h"
#include "strip/layout.h"
#include "strip/layout_store.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail::simrun {

namespace {

// The minimap's linger after its last pulse, plus its fade.
constexpr double kMinimapLingerSeconds = 0.9 + 0.6;
// Fades of panels being hidden.
constexpr double kOverlayFadeSeconds = 0.6;
// Dispatch tasks a settled program may add between two checks (timers
// re-arming themselves); more is work piling up.
constexpr size_t kPendingGrowth = 64;
// Longer than any glide an animated interface gives a write.
constexpr double kRestoreGlideSeconds = 1.0;
// Longer than a restored window takes to join its strip: the scan its move
// asks for, the reconcile and the layout after it.
constexpr double kRestoreFollowUpSeconds = 1.0;

}  // namespace

std::optional<Violation> Checker::overlays() {
  const double now = s_.dispatch_.now();
  const bool paused = pausedAt_ && now - *pausedAt_ >= kOverlayFadeSeconds;
  const double primaryHeight =
      s_.world_.displays().empty() ? 0 : s_.world_.displays().front().frame.height();
  const Point pointer = s_.world_.pointer();
  for (const auto& [displayId, display] : s_.manager_->displays()) {
    OverlayController* controller = s_.manager_->overlays(displayId);
    if (!controller) continue;
    const OverlayPanel* minimap = controller->visibleMinimap();
    for (WindowId number : s_.world_.windowNumbersFrontToBack()) {
      const auto panel = s_.world_.panel(number);
      if (!panel || !panel->orderedIn || panel->alphaAt(now) <= 0.01) continue;
      // Window coordinates have their origin at the primary display's bottom.
      const Rect frame{panel->frame.minX(), primaryHeight - panel->frame.maxY(),
                       panel->frame.width(), panel->frame.height()};
      if (!display.info.frame.contains(frame.center())) continue;
      if (paused) {
        return Violation{"overlayWhilePaused", "a panel shows on " + s_.displayName(displayId) +
                                                   " while the program is paused"};
      }
      if (!display.isActive() && settled()) {
        return Violation{"overlayOnInactiveDisplay",
                         "a panel shows on " + s_.displayName(displayId) + ", which is inactive"};
      }
      const bool isMinimap = minimap && minimap->windowNumber() == number;
      // Over the panel as the window server tells it, in window coordinates:
      // a pointer on the panel's bottom edge is on it there, though its
      // top-left twin lies just outside the flipped frame.
      const Point pointerInWindowSpace{pointer.x, primaryHeight - pointer.y};
      if (!isMinimap || panel->frame.contains(pointerInWindowSpace)) continue;
      // A minimap up stays up while the strip keeps moving (windows being
      // written), whoever moves it.
      const double quietSince = std::max(lastActionTime_, s_.countingAx_.lastFrameWriteAt());
      if (now - quietSince >= kMinimapLingerSeconds + kSettleSeconds) {
        return Violation{"minimapLingers", "the minimap of " + s_.displayName(displayId) +
                                               " is still up with nothing done for " +
                                               std::to_string(now - quietSince) + " s"};
      }
    }
  }
  return std::nullopt;
}

std::optional<Violation> Checker::quiescence() {
  const size_t writes = s_.countingAx_.frameWrites();
  const size_t pending = s_.dispatch_.pendingCount();
  // An application that refused or hung shortly before the last write may
  // still be answering the program's catching up (a scan retried after its
  // hang, the layout that follows).
  const double lastWrite = s_.countingAx_.lastFrameWriteAt();
  bool anyUnmovable = false;
  for (const auto& app : s_.world_.apps()) {
    if (app.terminated) continue;
    auto seen = unmovableSeen_.find(app.pid);
    if (unmovable(app.pid, kRestoreSeconds) ||
        (seen != unmovableSeen_.end() && lastWrite - seen->second <= kRestoreSeconds))
      anyUnmovable = true;
  }
  std::optional<Violation> found;
  // Bringing back a window owed a restore (remembered from an earlier run, or
  // refused before) is work with a reason, whenever it comes; so is laying
  // the window out once it is back.
  const bool restoring = s_.lastRestoreAt_ + kRestoreFollowUpSeconds >= writesSampledAt_;
  if (settledWrites_ && writes > *settledWrites_ && !anyUnmovable && !restoring &&
      !s_.manager_->isScrollingInteractively()) {
    found = Violation{"framesWrittenWhileSettled", std::to_string(writes - *settledWrites_) +
                                                       " frames written with nothing happening"};
  } else if (settledPending_ && pending > *settledPending_ + kPendingGrowth &&
             // A restore retried a moment ago may still be gliding its
             // windows, frame by frame, under an animated interface.
             s_.dispatch_.now() - s_.lastRestoreAt_ > kRestoreGlideSeconds &&
             // An application fighting over its windows since the count was
             // taken keeps the program answering: checks, put-backs, timers.
             s_.habitsActedAt_ < pendingSampledAt_) {
    found =
        Violation{"workPilesUp", "pending tasks grew from " + std::to_string(*settledPending_) +
                                     " to " + std::to_string(pending) + " with nothing happening"};
  } else if (settledWrites_ && s_.links_.runningLinkCount() > 0 && !anyUnmovable) {
    found = Violation{"timerLeftRunning", "a display link still runs with nothing moving"};
  }
  settledWrites_ = writes;
  writesSampledAt_ = s_.dispatch_.now();
  // Counted afresh after an application's own doing, once it is answered.
  if (!settledPending_ || s_.habitsActedAt_ >= pendingSampledAt_) {
    settledPending_ = pending;
    pendingSampledAt_ = writesSampledAt_;
  }
  if (found) return found;
  for (const auto& [displayId, display] : s_.manager_->displays()) {
    const Strip* strip = display.currentStrip();
    // A paused program leaves its strips as they were, mid-animation or not.
    if (!display.isActive() || !strip || s_.settings_->carouselMode.value() ||
        !s_.settings_->enabled.value())
      continue;
    const LayoutGeometry geometry{display.info.visibleFrame,
                                  std::max(0.0, s_.settings_->innerGap.value()),
                                  std::max(0.0, s_.settings_->outerGap.value())};
    const double scroll = strip->scroll.value;
    if (scroll < -0.5 || scroll > maxScroll(*strip, geometry) + 0.5) {
      return Violation{"scrollOutOfBounds", "the strip of " + s_.displayName(displayId) +
                                                " rests at scroll " + std::to_string(scroll)};
    }
  }
  return std::nullopt;
}

std::optional<Violation> Checker::layoutsSaved() {
  // Once the strips have stayed as they are for longer than the program
  // waits before saving, what the next launch would read matches every
  // active display's current strip, column by column. (Not every change is
  // saved: a closed window keeps its place for a while.)
  // Which display holds the strip counts too: the same windows carried to
  // another display are a change to save.
  std::vector<std::pair<std::string, std::vector<WindowId>>> shape;
  for (const auto& [displayId, display] : s_.manager_->displays()) {
    const Strip* strip = display.currentStrip();
    if (!display.isActive() || !strip) continue;
    std::vector<WindowId>& columns = shape.emplace_back(displayId, std::vector<WindowId>{}).second;
    for (const Column& column : strip->columns) {
      columns.insert(columns.end(), column.windows.begin(), column.windows.end());
      columns.push_back(0);
    }
  }
  const double now = s_.dispatch_.now();
  if (shape != stripsSeen_) {
    stripsSeen_ = std::move(shape);
    stripsSeenAt_ = now;
    stripsCompared_ = false;
    return std::nullopt;
  }
  if (stripsCompared_ || now - stripsSeenAt_ < timing::kSaveDelaySeconds + kSettleSeconds)
    return std::nullopt;
  stripsCompared_ = true;
  std::vector<ConnectedDisplay> connected;
  for (const auto& info : s_.manager_->connectedDisplays())
    connected.push_back({info.id, info.isPrimary});
  const SavedLayouts saved = loadSavedLayouts(s_.defaults_, connected);
  for (const auto& [displayId, display] : s_.manager_->displays()) {
    const Strip* strip = display.currentStrip();
    if (!display.isActive() || !strip || strip->empty()) continue;
    auto found = saved.find(stripKey(displayId, display.space.id));
    // A stored strip may also hold windows still awaited from the last
    // launch: it agrees when, without them, it has the strip's columns.
    std::vector<std::vector<WindowId>> mine, stored;
    for (const Column& column : strip->columns) mine.push_back(column.windows);
    if (found != saved.end()) {
      for (const SavedColumn& column : found->second.columns) {
        std::vector<WindowId> kept;
        for (WindowId w : column.windows) {
          if (strip->contains(w)) kept.push_back(w);
        }
        if (!kept.empty()) stored.push_back(kept);
      }
    }
    if (found == saved.end()) {
      return Violation{"layoutNotSaved",
                       "the strip of " + s_.displayName(displayId) + " was never saved"};
    }
    if (stored != mine) {
      auto describe = [&](const std::vector<std::vector<WindowId>>& columns) {
        std::string text;
        for (const auto& column : columns) {
          text += text.empty() ? "[" : " [";
          for (size_t i = 0; i < column.size(); ++i)
            text += (i ? " " : "") + s_.windowName(column[i]);
          text += "]";
        }
        return text;
      };
      return Violation{"layoutNotSaved", "the strip of " + s_.displayName(displayId) + " " +
                                             describe(mine) + " is stored as " + describe(stored)};
    }
  }
  return std::nullopt;
}

std::optional<Violation> Checker::restoresOverdue() {
  // Three tries on the mover's back-off, each waiting at most the messaging
  // time-out, then the recovery timer's next round.
  namespace rules = move_rules;
  const double budget =
      rules::kMaxRetries * (timing::kMessagingTimeoutSeconds +
                            rules::kRetryBaseSeconds * rules::kRetryGrowth * rules::kRetryGrowth) +
      timing::kRecoveryPeriodSeconds + rules::kGiveUpSeconds;
  const double now = s_.dispatch_.now();
  for (auto it = restoringSince_.begin(); it != restoringSince_.end();) {
    if (movedState(*s_.manager_, it->first) != MovedState::restoring) {
      it = restoringSince_.erase(it);
    } else {
      ++it;
    }
  }
  // One application's restores run one after another on its queue: a slow
  // application's last window waits for the calls of all the others.
  std::map<Pid, int> windowsPerApp;
  for (const auto& [id, window] : s_.manager_->windows()) ++windowsPerApp[window.pid()];
  for (const auto& [id, window] : s_.manager_->windows()) {
    if (movedState(*s_.manager_, id) != MovedState::restoring) continue;
    const auto app = s_.world_.app(window.pid());
    // Time an application spends hung is not the program's: the budget
    // starts again when it answers.
    double& since = restoringSince_.try_emplace(id, now).first->second;
    if (app && app->behaviour.hung) {
      since = now;
      continue;
    }
    if (auto seen = hungSeen_.find(window.pid()); seen != hungSeen_.end())
      since = std::max(since, std::min(seen->second, now));
    // About ten calls a restore (the enhanced interface read and set back,
    // the frame read, written and read again).
    // Calls already under way keep the latency they started with, so the
    // latency seen lately counts, not only the present one.
    double latency = 0;
    if (auto seen = slowSeen_.find(window.pid());
        seen != slowSeen_.end() && now - seen->second.second < 10)
      latency = seen->second.first;
    if (app)
      latency =
          std::max(latency, app->behaviour.latencySeconds + app->behaviour.latencyJitterSeconds);
    const double slow = 10 * windowsPerApp[window.pid()] * latency;
    if (now - since > budget + slow) {
      return Violation{"restoreOverdue", s_.windowName(id) + " has been restoring for " +
                                             std::to_string(now - since) + " s"};
    }
  }
  return std::nullopt;
}

}  // namespace vistarail::simrun
