#pragma once
// Habits of applications that the simulated world does not model itself and
// a story may give them: an application that keeps moving its windows back
// where it last put them ("fights"), and one that closes a window the first
// time it is moved and opens it again where it was ("recreatesWhenMoved";
// the new window is then left alone). Both watch their
// windows a few times a second in virtual time.

#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/geometry.h"
#include "platform/sim/world/world.h"

namespace vistarail::simrun {

class AppHabits {
 public:
  // Called with the old and new key when a window is opened again.
  using Reopened = std::function<void(sim::WindowKey from, sim::WindowKey to)>;
  AppHabits(sim::World& world, Reopened reopened)
      : world_(world), onReopened_(std::move(reopened)) {}

  // The habits of a behaviour as a scenario writes it (absent ones end).
  void set(Pid pid, const nlohmann::json& behaviour);
  bool fights(Pid pid) const;
  bool recreates(Pid pid) const;
  bool any() const { return !habits_.empty(); }
  // The frame the application means its window to have (after the user or
  // the application itself put it there). `moved`: the window was moved
  // there from where it stood, which the program answers as it answers the
  // application's own moves back, so a fight for that frame starts with it.
  void placed(sim::WindowKey key, Rect frame, bool moved = false);
  // Looks at every window of an application with a habit; whether any
  // application acted on one (moved it back, or closed and opened it again).
  bool tick();
  // Whether a fighting application moved the window back at least `times`
  // times (each after someone else moved it) to where it means it to be, and
  // it stands where one of those moves landed (the window server may pull a
  // place off every display back by a different way each time).
  bool foughtTo(sim::WindowKey key, const Rect& frame, int times) const;

 private:
  struct Habit {
    bool fights = false;
    bool recreates = false;
  };
  sim::World& world_;
  Reopened onReopened_;
  std::unordered_set<sim::WindowKey> reopenedKeys_;
  std::map<Pid, Habit> habits_;
  std::unordered_map<sim::WindowKey, Rect> placed_;
  struct Fight {
    Rect meant;
    int moves = 0;
    std::vector<Rect> landed;
  };
  std::unordered_map<sim::WindowKey, Fight> fights_;
};

}  // namespace vistarail::simrun
