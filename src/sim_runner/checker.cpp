#include "sim_runner/checker.h"

#include <algorithm>
#include <cmath>

#include "input/action.h"
#include "input/bindings.h"
#include "sim_runner/json_values.h"
#include "sim_runner/session.h"
#include "strip/layout.h"
#include "windows/park_frame.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail::simrun {

namespace {

using Json = nlohmann::json;

// How far a window may stand from where it was sent (the mover's own
// tolerance, and the application's rounding).
constexpr double kFrameTolerance = 4.0;
// How long after a key the program may still be reading the focus it acts on.
constexpr double kFloatReadSeconds = 0.1;

bool near(double a, double b) {
  return std::abs(a - b) <= kFrameTolerance;
}

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
  const auto measured = s_.world_.longestCallsSince(callsNotedUntil_);
  callsNotedUntil_ = now;
  for (const auto& app : s_.world_.apps()) {
    if (app.terminated) continue;
    const sim::Behaviour& b = app.behaviour;
    double latency = b.latencySeconds + b.latencyJitterSeconds;
    if (auto took = measured.find(app.pid); took != measured.end())
      latency = std::max(latency, took->second);
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

std::optional<Violation> Checker::strips(bool calm) {
  std::unordered_set<WindowId> onScreen;
  for (const auto& info : s_.windowServer_.copyWindowInfo(window_list::kOnScreenWindows, 0)) {
    onScreen.insert(info.number);
  }
  const bool enabled = s_.settings_->enabled.value();
  std::unordered_set<WindowId> seen;
  for (const auto& [id, display] : s_.manager_->displays()) {
    for (const auto& [space, strip] : display.strips) {
      std::string why;
      if (!strip.verifyInvariants(&why)) {
        return Violation{"stripInvariants", s_.displayName(id) + ": " + why};
      }
      if (s_.options_.plantedFault == "fourColumns" && strip.count() >= 4) {
        return Violation{"fourColumns", "a strip of " + s_.displayName(id) + " holds four columns"};
      }
      for (WindowId w : strip.allWindows()) {
        if (!seen.insert(w).second) {
          return Violation{"windowInTwoStrips", s_.windowName(w) + " is in two strips"};
        }
        const TrackedWindow* known = s_.manager_->window(w);
        if (!known) return Violation{"unknownWindowInStrip", s_.windowName(w) + " is not known"};
        if (!known->isTileable) {
          return Violation{"untileableWindowInStrip", s_.windowName(w) + " does not tile"};
        }
        if (calm && display.isActive() && display.space.id == space && enabled &&
            !onScreen.contains(w) && !wonByItsApplication(w)) {
          return Violation{"tiledWindowOffScreen", s_.windowName(w) + " stays in the strip of " +
                                                       s_.displayName(id) +
                                                       " without being on screen"};
        }
      }
    }
  }
  if (!calm || !enabled) return std::nullopt;
  // Every tileable window on screen on an active display is in a strip.
  for (const auto& [id, window] : s_.manager_->windows()) {
    if (!window.isTileable || seen.contains(id) || !onScreen.contains(id) || floated_.contains(id))
      continue;
    // Floated by a command whose effect fell between two looks (a slow
    // application's focus read): the program's record counts only for a
    // window a float command was aimed at.
    if (everAimed_.contains(id) && s_.manager_->isFloatedByUser(id)) continue;
    const auto key = s_.world_.windowWithNumber(id);
    const auto w = key ? s_.world_.window(*key) : std::nullopt;
    if (!w || w->minimized || w->fullScreen || unmovable(w->pid, kRestoreSeconds)) continue;
    if (s_.manager_->isHeldForDrag(id)) continue;
    for (const auto& [displayId, display] : s_.manager_->displays()) {
      if (!display.isActive()) continue;
      const Rect part = w->frame.intersection(display.info.frame);
      if (part.isNull() || part.width() * part.height() * 2 < w->frame.width() * w->frame.height())
        continue;
      return Violation{"tileableWindowNotTiled",
                       s_.windowName(id) + " tiles and stands on " + s_.displayName(displayId) +
                           " at " + rectJson(w->frame).dump() + " but is in no strip"};
    }
  }
  return std::nullopt;
}

// An application that moved its window back after every put-back keeps it
// where it put it, and whether the window server shows it there (a place
// mostly on a display showing a full-screen Space) is its own doing.
bool Checker::wonByItsApplication(WindowId id) const {
  const auto key = s_.world_.windowWithNumber(id);
  const auto w = key ? s_.world_.window(*key) : std::nullopt;
  return w && s_.habits_.foughtTo(w->key, w->frame, timing::kMaxReassertions + 1);
}

std::optional<Violation> Checker::nothingLost(const char* invariant, bool afterPause) {
  const auto stored = s_.defaults_.storedObject(kUnrecoveredKey);
  std::unordered_set<WindowId> remembered;
  if (stored && stored->is_array()) {
    for (const Json& v : *stored) {
      if (v.is_number_unsigned()) remembered.insert(v.get<WindowId>());
    }
  }
  const double now = s_.dispatch_.now();
  for (const auto& [name, key] : s_.windowKeys_) {
    const auto w = s_.world_.window(key);
    if (!w || w->minimized) continue;
    // Leaving full screen takes a window back to where it was before, which
    // the program learns on its recovery timer's next beat.
    if (auto seen = fullScreenSeen_.find(key);
        seen != fullScreenSeen_.end() && now - seen->second <= kRestoreSeconds)
      continue;
    const WindowId number = w->number.value_or(0);
    const auto app = s_.world_.app(w->pid);
    if (app && app->hidden) continue;
    if (!movedByProgram_.contains(number)) continue;
    // An application that cannot be asked to move its window back: the
    // program keeps trying while it runs, and a stop remembers the window.
    if (afterPause && unmovable(w->pid, kRestoreSeconds)) continue;
    if (s_.inView(w->frame) || remembered.contains(number)) continue;
    // Where its user or its application put it: not the program's to undo.
    // The place is what counts; an application may have rounded the size.
    if (auto put = userFrames_.find(key);
        put != userFrames_.end() && put->second.origin == w->frame.origin)
      continue;
    if (w->placedByApp == w->frame || w->placedByHand == w->frame) continue;
    return Violation{invariant, "window " + name + " is left out of view at " +
                                    rectJson(w->frame).dump() + " and not remembered"};
  }
  return std::nullopt;
}

std::optional<Violation> Checker::framesAsLaidOut() {
  if (s_.settings_->carouselMode.value()) return std::nullopt;  // sizes learned per window
  std::vector<Rect> frames;
  for (const auto& info : s_.manager_->connectedDisplays()) frames.push_back(info.frame);
  for (const auto& [id, display] : s_.manager_->displays()) {
    const Strip* strip = display.currentStrip();
    if (!display.isActive() || !strip) continue;
    auto gap = [](double g) { return std::isfinite(g) && g > 0 ? g : 0.0; };
    const LayoutGeometry geometry{display.info.visibleFrame, gap(s_.settings_->innerGap.value()),
                                  gap(s_.settings_->outerGap.value())};
    std::vector<Rect> others;
    for (const Rect& f : frames) {
      if (f != display.info.frame) others.push_back(f);
    }
    for (const WindowFrame& laid : vistarail::frames(*strip, geometry, strip->scroll.value)) {
      const auto key = s_.world_.windowWithNumber(laid.window);
      const auto w = key ? s_.world_.window(*key) : std::nullopt;
      if (!w || w->minimized || w->fullScreen) continue;
      if (unmovable(w->pid, kSettleSeconds) || s_.manager_->isHeldForDrag(laid.window)) continue;
      if (!w->positionSettable) continue;
      // An application that moved its window back after every put-back has
      // won it, and keeps it where it put it; so does one that dropped the
      // last move written (the program gives up after its retries).
      if (wonByItsApplication(laid.window)) continue;
      if (w->lastMoveIgnored) continue;
      // Moved with every notification of it lost: no program could know.
      if (w->movedUnheard) continue;
      // Parked by the size the window took, which may not be the size asked.
      const Rect parked =
          parkFrame(Rect{laid.frame.origin, w->frame.size}, display.info.frame, others);
      const Rect& at = w->frame;
      const bool atLayout =
          near(at.minX(), laid.frame.minX()) && near(at.minY(), laid.frame.minY());
      // A parked window keeps its size and stands at the parking place.
      const bool atParking = near(at.minX(), parked.minX()) && near(at.minY(), parked.minY());
      if (!atLayout && !atParking) {
        return Violation{"windowNotAtLayout", s_.windowName(laid.window) + " stands at " +
                                                  rectJson(at).dump() + ", laid out at " +
                                                  rectJson(laid.frame).dump() + " (parked at " +
                                                  rectJson(parked).dump() + ")"};
      }
    }
  }
  return std::nullopt;
}

std::optional<Violation> Checker::focusFollowed() {
  const auto focusedKey = s_.world_.focusedWindow();
  const auto front = s_.world_.frontmostApp();
  if (!focusedKey || !front || unmovable(*front, kSettleSeconds)) return std::nullopt;
  const auto w = s_.world_.window(*focusedKey);
  if (!w || !w->number) return std::nullopt;
  const WindowId id = *w->number;
  const TrackedWindow* known = s_.manager_->window(id);
  if (!known || !known->isTileable) return std::nullopt;
  if (s_.manager_->focusedWindow() != id) {
    const auto mine = s_.manager_->focusedWindow();
    // Focus asked of an application that does not answer waits behind its
    // unanswered calls.
    const TrackedWindow* asked = mine ? s_.manager_->window(*mine) : nullptr;
    if (asked && hung(asked->pid(), kSettleSeconds)) return std::nullopt;
    return Violation{"focusNotFollowed", s_.windowName(id) + " has the focus, the program says " +
                                             (mine ? s_.windowName(*mine) : "none")};
  }
  for (const auto& [displayId, display] : s_.manager_->displays()) {
    const Strip* strip = display.currentStrip();
    if (!display.isActive() || !strip || !strip->contains(id)) continue;
    const Column* column = strip->focusedColumn();
    if (!column ||
        std::find(column->windows.begin(), column->windows.end(), id) == column->windows.end()) {
      return Violation{"focusNotFollowed", "the focused column of " + s_.displayName(displayId) +
                                               " does not hold " + s_.windowName(id)};
    }
  }
  return std::nullopt;
}

}  // namespace vistarail::simrun
