// What a session records of the desktop and the program at a moment: the
// state a scenario's expectations and its report read.

#include <algorithm>

#include "sim_runner/json_values.h"
#include "sim_runner/session.h"

namespace vistarail::simrun {

bool Session::inView(const Rect& frame) const {
  for (const auto& display : world_.displays()) {
    const Rect part = frame.intersection(display.frame);
    if (!part.isNull() && part.width() >= 40 && part.height() >= 40) return true;
  }
  return false;
}

Json Session::state() const {
  Json doc;
  doc["time"] = dispatch_.now();
  doc["running"] = manager_ != nullptr;
  doc["shell"] = program_ ? program_->state() : Json();
  doc["enabled"] = settings_ ? settings_->enabled.value() : false;
  doc["status"] = manager_ ? Json(manager_->statusText()) : Json();
  const std::optional<WindowId> focused = manager_ ? manager_->focusedWindow() : std::nullopt;
  doc["focused"] = focused ? Json(windowName(*focused)) : Json();
  std::unordered_set<WindowId> tiled;
  Json displays = Json::array();
  if (manager_) {
    for (const auto& [id, display] : manager_->displays()) {
      Json d;
      d["name"] = displayName(id);
      d["id"] = id;
      d["frame"] = rectJson(display.info.frame);
      d["visibleFrame"] = rectJson(display.info.visibleFrame);
      d["connected"] = display.isConnected;
      d["managed"] = display.isManaged;
      d["active"] = display.isActive();
      d["currentSpace"] = display.space.id;
      Json spaces = Json::array();
      for (const auto& [spaceId, strip] : display.strips) {
        Json columns = Json::array();
        for (int c = 0; c < strip.count(); ++c) {
          const Column& column = strip.columns[c];
          Json windows = Json::array();
          for (WindowId w : column.windows) {
            tiled.insert(w);
            windows.push_back(windowName(w));
          }
          columns.push_back({{"proportion", column.proportion}, {"windows", windows}});
        }
        spaces.push_back({{"space", spaceId},
                          {"current", spaceId == display.space.id},
                          {"scroll", strip.scroll.value},
                          {"focusedColumn", strip.count() ? Json(strip.focusedIndex) : Json()},
                          {"columns", columns}});
      }
      d["spaces"] = spaces;
      displays.push_back(d);
    }
  }
  // Connection order of the world, so that the document reads the same every time.
  std::stable_sort(displays.begin(), displays.end(), [this](const Json& a, const Json& b) {
    auto rank = [this](const std::string& name) {
      return std::find(displayOrder_.begin(), displayOrder_.end(), name) - displayOrder_.begin();
    };
    return rank(a["name"]) < rank(b["name"]);
  });
  doc["displays"] = displays;
  Json windows = Json::array();
  std::vector<std::pair<std::string, sim::WindowKey>> named(windowKeys_.begin(), windowKeys_.end());
  for (const auto& [name, key] : named) {
    const auto w = world_.window(key);
    if (!w) continue;
    const WindowId number = w->number.value_or(0);
    const TrackedWindow* known = manager_ ? manager_->window(number) : nullptr;
    windows.push_back({{"name", name},
                       {"number", number},
                       {"app", appName(w->pid)},
                       {"title", w->title},
                       {"frame", rectJson(w->frame)},
                       {"minimised", w->minimized},
                       {"fullScreen", w->fullScreen},
                       {"inView", inView(w->frame)},
                       {"tracked", known != nullptr},
                       {"tileable", known ? known->isTileable : false},
                       {"tiled", tiled.contains(number)},
                       {"parked", manager_ ? manager_->isParked(number) : false}});
  }
  doc["windows"] = windows;
  // The displays as the system has them, running program or not.
  Json screens = Json::array();
  for (const auto& d : world_.displays()) {
    screens.push_back({{"name", d.name}, {"frame", rectJson(d.frame)}});
  }
  doc["screens"] = screens;
  return doc;
}

}  // namespace vistarail::simrun
