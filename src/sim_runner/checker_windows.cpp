// The checker's questions about windows: what stands in the strips and what
// is left out of them, windows lost after a pause or a stop, frames that are
// not where the layout puts them, and the focus the program should follow.

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "sim_runner/checker.h"
#include "sim_runner/json_values.h"
#include "sim_runner/session.h"
#include "strip/layout.h"
#include "windows/park_frame.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail::simrun {

namespace {

// How far a window may stand from where it was sent (the mover's own
// tolerance, and the application's rounding).
constexpr double kFrameTolerance = 4.0;

bool near(double a, double b) {
  return std::abs(a - b) <= kFrameTolerance;
}

}  // namespace

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
    // Moved with every notification of it lost, and not looked at since:
    // the program learns where it went at its next reconcile, which reads
    // the window server's list; until then no program could know.
    if (w->movedUnheard && s_.lastReconcileAt_ < w->movedUnheardAt) continue;
    for (const auto& [displayId, display] : s_.manager_->displays()) {
      if (!display.isActive()) continue;
      // More than half of it: a window lying exactly half on each of two
      // displays may be counted to either, by the program as by the system.
      const Rect part = w->frame.intersection(display.info.frame);
      if (part.isNull() || part.width() * part.height() * 2 <= w->frame.width() * w->frame.height())
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
