#include "sim_runner/app_habits.h"

#include <algorithm>

namespace vistarail::simrun {

void AppHabits::set(Pid pid, const nlohmann::json& behaviour) {
  Habit habit{behaviour.value("fights", false), behaviour.value("recreatesWhenMoved", false)};
  if (!habit.fights && !habit.recreates) {
    habits_.erase(pid);
    return;
  }
  habits_[pid] = habit;
  // What the application means its windows to look like is where they are now.
  for (const auto& w : world_.windows(pid)) placed_.try_emplace(w.key, w.frame);
}

void AppHabits::placed(sim::WindowKey key, Rect frame, bool moved) {
  placed_[key] = frame;
  if (moved) fights_[key] = {frame, 1, {frame}};
}

bool AppHabits::fights(Pid pid) const {
  auto it = habits_.find(pid);
  return it != habits_.end() && it->second.fights;
}

bool AppHabits::recreates(Pid pid) const {
  auto it = habits_.find(pid);
  return it != habits_.end() && it->second.recreates;
}

bool AppHabits::tick() {
  bool acted = false;
  for (const auto& [pid, habit] : habits_) {
    for (const auto& w : world_.windows(pid)) {
      if (w.minimized || w.fullScreen) continue;
      if (reopenedKeys_.contains(w.key)) continue;
      const auto [meant, fresh] = placed_.try_emplace(w.key, w.frame);
      if (fresh || meant->second == w.frame) continue;
      const Rect frame = meant->second;
      acted = true;  // every habit kept has the application act on a moved window
      if (habit.recreates) {
        sim::WindowSetup setup = w;
        setup.frame = frame;
        setup.number.reset();
        world_.closeWindow(w.key);
        const sim::WindowKey again = world_.openWindow(pid, setup, sim::WindowFocus::staysBehind);
        placed_.erase(w.key);
        if (again) {
          // The window opened again is left where it is put from then on.
          reopenedKeys_.insert(again);
          onReopened_(w.key, again);
        }
      } else if (habit.fights) {
        world_.appMovesWindow(w.key, frame);
        // Where it lands, which the system may have kept on screen.
        const auto moved = world_.window(w.key);
        const Rect landed = moved ? moved->frame : frame;
        Fight& fight = fights_[w.key];
        if (fight.meant != frame) {
          // A move of its own it made before, elsewhere but at this size, is
          // where the program saw the fight begin: an application that keeps
          // to one size fights on wherever it puts the window.
          const bool sameSize = w.placedByApp && w.placedByApp->size == frame.size;
          fight = {frame, sameSize ? 1 : 0, {}};
        }
        ++fight.moves;
        if (std::find(fight.landed.begin(), fight.landed.end(), landed) == fight.landed.end())
          fight.landed.push_back(landed);
      }
    }
  }
  return acted;
}

bool AppHabits::foughtTo(sim::WindowKey key, const Rect& frame, int times) const {
  auto fight = fights_.find(key);
  if (fight == fights_.end() || fight->second.moves < times) return false;
  const std::vector<Rect>& landed = fight->second.landed;
  return std::find(landed.begin(), landed.end(), frame) != landed.end();
}

}  // namespace vistarail::simrun
