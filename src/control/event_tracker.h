#pragma once
// Events for subscribers, found by comparing what a script can see now with
// what it saw at the last look. The window manager says when something may
// have changed (never once per frame); the tracker looks then and reports
// only what differs, so a burst of notifications that changes nothing sends
// nothing, and an animation sends one strip change and one "scrollSettled".

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/app_settings.h"
#include "windows/window_manager.h"

namespace vistarail::control {

using Json = nlohmann::json;

// What the events are computed from: plain values, compared between looks.
struct Observed {
  bool paused = false;
  Json focused;                          // the focused window as windowsJson lists it, or null
  std::map<WindowId, Json> windows;      // id -> {"id", "app", "title"}
  std::vector<std::string> displays;     // connected, in order
  std::map<std::string, Json> spaces;    // display -> {"id", "fullScreen"}
  std::map<std::string, Json> strips;    // display -> columns (windows and widths)
  std::map<std::string, double> scroll;  // display -> scroll offset at rest
  Json settings;                         // by property
};

Observed observe(const WindowManager& manager, const AppSettings& settings);

struct Event {
  std::string name;
  Json body;
};

// The events that lead from `before` to `after`, in a fixed order: displays,
// Spaces, windows removed then added, strips, focus, scroll (only when the
// strips are at rest), pause, settings.
std::vector<Event> changesBetween(const Observed& before, const Observed& after, bool atRest);

}  // namespace vistarail::control
