#include "sim_runner/checker.h"

#include <algorithm>
#include <cmath>

#include "input/action.h"
#include "input/bindings.h"
#include "sim_runner/session.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail::simrun {

namespace {

// How long after a key the program may still be reading the focus it acts on.
constexpr double kFloatReadSeconds = 0.1;

}  // namespace

const std::vector<std::string>& checkedInvariants() {
  static const std::vector<std::string> names = {"noExceptions",
                                                 "windowLostAfterStop",
                                                 "stripInvariants",
                                                 "fourColumns",
                                                 "windowInTwoStrips",
                                                 "unknownWindowInStrip",
                                                 "untileableWindowInStrip",
                                                 "tiledWindowOffScreen",
                                                 "tileableWindowNotTiled",
                                                 "windowLostAfterPause",
                                                 "overlayWhilePaused",
                                                 "overlayOnInactiveDisplay",
                                                 "minimapLingers",
                                                 "restoreOverdue",
                                                 "framesWrittenWhileSettled",
                                                 "workPilesUp",
                                                 "timerLeftRunning",
                                                 "scrollOutOfBounds",
                                                 "windowNotAtLayout",
                                                 "focusNotFollowed"};
  return names;
}

MovedState movedState(const WindowManager& manager, WindowId id) {
  const MovedWindow* record = manager.movedWindow(id);
  return record ? record->state : MovedState::released;
}

// Settled once the program has had time to answer the last action, and a
// slow application's calls the time they take.
bool Checker::settled() const {
  const auto rest = restsAt();
  return s_.dispatch_.now() >= (rest ? *rest : lastActionTime_ + kSettleSeconds);
}

bool Checker::inAStrip(WindowId id) const {
  for (const auto& [displayId, display] : s_.manager_->displays()) {
    for (const auto& [space, strip] : display.strips) {
      if (strip.contains(id)) return true;
    }
  }
  return false;
}

void Checker::beforeStep(const Step& step) {
  const std::string& kind = step.kind;
  justStopped_ = false;
  std::optional<Action> command;
  if (kind == "action") command = actionFromRaw(step.source["action"].get<std::string>());
  if ((kind == "key" || kind == "press") && s_.settings_) {
    if (auto press = parseKeyPress(step.source["keys"])) {
      command = actionForCombo(s_.settings_->bindings.value(), {press->keyCode, press->modifiers});
    }
  }
  // A paused program floats nothing; nor does it tile anything, so a window's
  // place then would say nothing of what the command did.
  if (command == Action::toggleFloat && s_.manager_ && s_.settings_->enabled.value()) {
    floatAims_.clear();
    floatAimed_.clear();
    floatCommandAt_ = s_.dispatch_.now();
    floatFrontApp_ = s_.world_.frontmostApp();
    aimFloatAtFocus(*floatCommandAt_);
  }
  if (s_.manager_ &&
      (kind == "stop" || kind == "pause" || kind == "set" || kind == "sigterm" || kind == "menu")) {
    // What the program answers for when it lets go: the windows it moved.
    movedByProgram_.clear();
    for (const auto& [id, window] : s_.manager_->windows()) {
      const MovedState state = movedState(*s_.manager_, id);
      if (state != MovedState::released) movedByProgram_.insert(id);
    }
  }
}

std::optional<double> Checker::restsAt() const {
  if (!s_.manager_) return std::nullopt;
  // A slow application stretches the scans, the writes and their checks:
  // allow some forty of its calls, and ten more for each of its windows
  // (each is read, watched, written and checked on the same queue).
  // Calls already under way keep the latency they started with.
  double slowest = 0;
  for (const auto& [pid, slow] : slowSeen_) {
    if (s_.dispatch_.now() - slow.second >= 10) continue;
    const double windows = static_cast<double>(s_.world_.windows(pid).size());
    slowest = std::max(slowest, (40 + 10 * windows) * slow.first);
  }
  return lastActionTime_ + kSettleSeconds + slowest;
}

void Checker::sampleAtRest() {
  if (!s_.manager_) return;
  settledWrites_ = s_.countingAx_.frameWrites();
  writesSampledAt_ = s_.dispatch_.now();
  settledPending_ = s_.dispatch_.pendingCount();
  pendingSampledAt_ = writesSampledAt_;
}

void Checker::afterStep(const std::string& kind) {
  if (kind != "wait" && kind != "snapshot") {
    lastActionTime_ = s_.dispatch_.now();
    settledWrites_.reset();
    settledPending_.reset();
  }
}

void Checker::noteBehaviours() {
  const double now = s_.dispatch_.now();
  // What the calls took counts as well as what the application is set to:
  // calls already under way keep the latency they began with.
  const auto measured = s_.world_.callPaceSince(callsNotedUntil_);
  callsNotedUntil_ = now;
  for (const auto& app : s_.world_.apps()) {
    if (app.terminated) continue;
    const sim::Behaviour& b = app.behaviour;
    double latency = b.latencySeconds + b.latencyJitterSeconds;
    const auto took = measured.find(app.pid);
    if (took != measured.end()) latency = std::max(latency, took->second.longestAnswered);
    if (latency > 0) slowSeen_[app.pid] = {latency, now};
    bool failing = b.hung || b.ignoresMoves || s_.habits_.fights(app.pid);
    for (const auto& fault : b.faults) {
      if (fault.remaining != 0 &&
          (fault.on == sim::FaultOn::write || fault.on == sim::FaultOn::any ||
           fault.on == sim::FaultOn::settable))
        failing = true;
    }
    if (failing) unmovableSeen_[app.pid] = now;
    // Faults given out between two checks count from when they were given.
    if (app.lastRefusalAt) {
      double& seen = unmovableSeen_.try_emplace(app.pid, *app.lastRefusalAt).first->second;
      seen = std::max(seen, *app.lastRefusalAt);
    }
    if (b.hung) hungSeen_[app.pid] = now;
    if (took != measured.end() && took->second.lastTimedOutAt) {
      double& seen = hungSeen_.try_emplace(app.pid, *took->second.lastTimedOutAt).first->second;
      seen = std::max(seen, *took->second.lastTimedOutAt);
    }
  }
  for (const auto& [name, key] : s_.windowKeys_) {
    const auto w = s_.world_.window(key);
    if (w && w->fullScreen) fullScreenSeen_[key] = now;
  }
}

bool Checker::hung(Pid pid, double withinSeconds) const {
  auto seen = hungSeen_.find(pid);
  return seen != hungSeen_.end() && s_.dispatch_.now() - seen->second <= withinSeconds;
}

bool Checker::unmovable(Pid pid, double withinSeconds) const {
  auto seen = unmovableSeen_.find(pid);
  return seen != unmovableSeen_.end() && s_.dispatch_.now() - seen->second <= withinSeconds;
}

std::optional<Violation> Checker::kept(std::optional<Violation> v) const {
  if (v && ignored_.contains(v->invariant)) return std::nullopt;
  return v;
}

// A float command acts on the focused window: the one the program knows, or
// the one the application has. The program asks the application that was in
// front when the key was pressed, so if another comes to the front before the
// answer, the window meant is still that application's focused one.
void Checker::aimFloatAtFocus(double commandTime) {
  std::optional<WindowId> known = s_.manager_->focusedWindow(), front, keyed;
  const auto numberOf = [&](std::optional<sim::WindowKey> key) -> std::optional<WindowId> {
    const auto w = key ? s_.world_.window(*key) : std::nullopt;
    return w ? std::optional<WindowId>(w->number) : std::nullopt;
  };
  front = numberOf(s_.world_.focusedWindow());
  if (const auto app = floatFrontApp_ ? s_.world_.app(*floatFrontApp_) : std::nullopt) {
    keyed = numberOf(app->focusedWindow);
  }
  for (const auto& id : {known, front, keyed}) {
    // Each window once a command: one already followed keeps its verdict.
    if (!id || !floatAimed_.insert(*id).second) continue;
    everAimed_.insert(*id);
    floatAims_.push_back(FloatAim{*id, floated_.contains(*id), commandTime, inAStrip(*id)});
  }
}

void Checker::followFloat() {
  // A program started afresh has forgotten every float, and tiles them again.
  if (s_.manager_.get() != floatsOf_) {
    floatsOf_ = s_.manager_.get();
    floated_.clear();
    everAimed_.clear();
  }
  // The program reads the focus when it runs the command, a moment after the
  // key: a window the user focused in that moment may be the one it floats.
  if (floatCommandAt_ && s_.dispatch_.now() - *floatCommandAt_ <= kFloatReadSeconds) {
    aimFloatAtFocus(*floatCommandAt_);
  }
  const bool managing = s_.settings_->enabled.value();
  std::erase_if(floatAims_, [&](FloatAim& aim) {
    // A window the program has not scanned yet is in no strip either way:
    // only once it is known, and managed, does its place say what the
    // command did.
    if (!managing || !s_.manager_->window(aim.id)) return s_.dispatch_.now() - aim.at > 1.0;
    const bool tiled = inAStrip(aim.id);
    if (aim.unfloat && tiled) {
      floated_.erase(aim.id);
      return true;
    }
    if (!aim.unfloat && tiled) aim.seenTiled = true;
    if (!aim.unfloat && !tiled && aim.seenTiled) {
      floated_.insert(aim.id);
      return true;
    }
    // A command that changed nothing within a second changed nothing.
    return s_.dispatch_.now() - aim.at > 1.0;
  });
}

std::optional<Violation> Checker::check() {
  noteBehaviours();
  if (s_.manager_) followFloat();
  if (!s_.timeline_.empty() && s_.timeline_.back().kind == "exception") {
    return Violation{"noExceptions", s_.timeline_.back().text};
  }
  if (s_.justStopped_) {
    if (auto v = kept(nothingLost("windowLostAfterStop", false))) return v;
  }
  if (!s_.manager_) return std::nullopt;
  const bool calm = settled();
  if (auto v = kept(strips(calm))) return v;
  // Management may also have been switched by a command (togglePause), so the
  // pause is dated by the setting itself.
  const bool enabled = s_.settings_->enabled.value();
  if (enabled) {
    pausedAt_.reset();
  } else if (!pausedAt_) {
    pausedAt_ = s_.dispatch_.now();
  }
  if (pausedAt_ && s_.dispatch_.now() - *pausedAt_ >= kRestoreSeconds) {
    if (auto v = kept(nothingLost("windowLostAfterPause", true))) return v;
  }
  if (auto v = kept(overlays())) return v;
  if (auto v = kept(restoresOverdue())) return v;
  if (!calm) return std::nullopt;
  if (auto v = kept(quiescence())) return v;
  if (!enabled) return std::nullopt;
  if (auto v = kept(framesAsLaidOut())) return v;
  if (auto v = kept(focusFollowed())) return v;
  if (auto v = kept(layoutsSaved())) return v;
  return std::nullopt;
}

}  // namespace vistarail::simrun
