#pragma once
// The checker: what must hold after every step of a story, asked of the
// simulated world (where windows really are, what each application does to
// them, which panels show) rather than of the program's own word. Each
// invariant has a stable name; docs/testing.md lists them with the fault
// that shows each one fires.
//
// Windows are excused only by what the world says of their application now
// or lately (hung, ignoring moves, failing writes, moving its windows itself,
// fighting back), so the excuses cannot fall behind the simulator's
// behaviours.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "platform/sim/world/world_types.h"
#include "windows/moved_windows.h"

namespace vistarail {
class WindowManager;
}

namespace vistarail::simrun {

class Session;
struct Violation;
struct Step;

// Every invariant the checker reports, by name.
const std::vector<std::string>& checkedInvariants();

// What the program owes a window it moved; released when it owes nothing.
MovedState movedState(const WindowManager& manager, WindowId id);

class Checker {
 public:
  explicit Checker(Session& session) : s_(session) {}
  // Invariants not to report (a known fault that would hide the others).
  void ignore(std::set<std::string> invariants) { ignored_ = std::move(invariants); }

  // Before and after each step: what the step did that the checks must know.
  void beforeStep(const Step& step);
  void afterStep(const std::string& kind);
  // When the program should come to rest if nothing more happens, and the
  // counts taken then.
  std::optional<double> restsAt() const;
  void sampleAtRest();
  // The first invariant broken now, if any.
  std::optional<Violation> check();

  // Where the application or its user last put the window: not the
  // program's to undo. Kept up to date by the session's habits too.
  void putBy(sim::WindowKey key, Rect frame) { userFrames_[key] = frame; }

 private:
  std::optional<Violation> kept(std::optional<Violation> v) const;
  bool settled() const;
  bool inAStrip(WindowId id) const;
  // A window the user floated with the command is left out of the strips.
  void followFloat();
  void noteBehaviours();
  // Whether the application cannot be asked to move its windows now or could
  // not until lately (hung, ignoring moves, failing writes, fighting).
  bool unmovable(Pid pid, double withinSeconds) const;
  bool hung(Pid pid, double withinSeconds) const;
  void aimFloatAtFocus(double commandTime);

  std::optional<Violation> strips(bool settled);
  bool wonByItsApplication(WindowId id) const;
  std::optional<Violation> nothingLost(const char* invariant, bool afterPause);
  std::optional<Violation> framesAsLaidOut();
  std::optional<Violation> focusFollowed();
  std::optional<Violation> overlays();
  std::optional<Violation> quiescence();
  std::optional<Violation> restoresOverdue();
  std::optional<Violation> layoutsSaved();

  Session& s_;
  std::set<std::string> ignored_;
  double lastActionTime_ = 0;
  std::optional<double> pausedAt_;
  bool justStopped_ = false;
  std::unordered_map<sim::WindowKey, Rect> userFrames_;
  // The windows the program had moved when it last let go.
  std::unordered_set<WindowId> movedByProgram_;
  // When each application was last seen unmovable.
  std::map<Pid, double> unmovableSeen_;
  std::map<Pid, double> hungSeen_;
  std::unordered_map<sim::WindowKey, double> fullScreenSeen_;
  // Each slow application's latency, and when it was last seen that slow.
  std::map<Pid, std::pair<double, double>> slowSeen_;
  double callsNotedUntil_ = 0;  // calls ending before this were looked at
  // When each window was first seen restoring, in its current restore.
  std::unordered_map<WindowId, double> restoringSince_;
  // The window a float command was aimed at, whether it was in a strip then,
  // and the windows the user floated.
  // A float command is meant for the focused window, which the program may
  // know from its own last request or from the application (a click it has
  // not heard of yet): both are followed for a second. One the user floated
  // before is excused no more once it is tiled again; any other is excused
  // once it is out of the strips (at once, for a window just opened and not
  // tiled yet).
  struct FloatAim {
    WindowId id = 0;
    bool unfloat = false;
    double at = 0;
    // Only a window seen in a strip can be floated out of it: one that is
    // not in a strip yet is tiled again by the command, not floated.
    bool seenTiled = false;
  };
  std::vector<FloatAim> floatAims_;
  std::optional<double> floatCommandAt_;  // when the last float command was given
  std::optional<Pid> floatFrontApp_;      // the application in front then
  std::unordered_set<WindowId> floatAimed_;  // the windows it was aimed at
  std::unordered_set<WindowId> floated_;
  // Every window a float command of the running program was aimed at: the
  // only ones it may say it floated for the user.
  std::unordered_set<WindowId> everAimed_;
  const void* floatsOf_ = nullptr;  // the manager that made those floats
  // The defaults' writes at the last action or comparison of the stored
  // layouts: a save since then is compared.
  // The strips' columns at the last check, since when, and whether the
  // stored layouts were compared with them.
  // Each active display's strip as last seen: the display, then its columns
  // (a 0 after each).
  std::vector<std::pair<std::string, std::vector<WindowId>>> stripsSeen_;
  double stripsSeenAt_ = 0;
  bool stripsCompared_ = false;
  // Quiescence: counts at the previous settled check.
  std::optional<size_t> settledWrites_;
  double writesSampledAt_ = 0;
  std::optional<size_t> settledPending_;
  double pendingSampledAt_ = 0;
};

}  // namespace vistarail::simrun
