#include "control/event_tracker.h"

#include <cmath>

#include "control/state_json.h"

namespace vistarail::control {

Observed observe(const WindowManager& manager, const AppSettings& settings) {
  Observed o;
  o.paused = !settings.enabled.value();
  o.focused = focusedJson(manager);
  for (const auto& [id, window] : manager.windows()) {
    o.windows[id] = {
        {"id", id}, {"app", window.appName.value_or("")}, {"title", window.title.value_or("")}};
  }
  for (const DisplayInfo& info : manager.connectedDisplays()) {
    o.displays.push_back(info.id);
    auto state = manager.displays().find(info.id);
    if (state == manager.displays().end()) continue;
    const DisplayState& s = state->second;
    o.spaces[info.id] = {{"id", s.space.id}, {"fullScreen", s.space.isFullscreen}};
    const Strip* strip = s.currentStrip();
    if (!strip) continue;
    Json columns = Json::array();
    for (const Column& column : strip->columns) {
      columns.push_back(
          {{"windows", column.windows}, {"width", std::round(column.proportion * 1000) / 1000}});
    }
    o.strips[info.id] = std::move(columns);
    o.scroll[info.id] = std::round(strip->scroll.target);
  }
  o.settings = settingsJson(settings);
  return o;
}

std::vector<Event> changesBetween(const Observed& before, const Observed& after, bool atRest) {
  std::vector<Event> out;
  if (before.displays != after.displays) {
    out.push_back({"displaysChanged", {{"displays", after.displays}}});
  }
  for (const auto& [display, space] : after.spaces) {
    auto old = before.spaces.find(display);
    if (old != before.spaces.end() && old->second != space) {
      out.push_back({"spaceChanged", {{"display", display}, {"space", space}}});
    }
  }
  for (const auto& [id, window] : before.windows) {
    if (!after.windows.contains(id)) out.push_back({"windowRemoved", {{"window", window}}});
  }
  for (const auto& [id, window] : after.windows) {
    if (!before.windows.contains(id)) out.push_back({"windowAdded", {{"window", window}}});
  }
  for (const auto& [display, columns] : after.strips) {
    auto old = before.strips.find(display);
    if (old == before.strips.end() || old->second != columns) {
      out.push_back({"stripChanged", {{"display", display}, {"columns", columns}}});
    }
  }
  const auto focusedId = [](const Json& w) { return w.is_object() ? w["id"] : Json(); };
  if (focusedId(before.focused) != focusedId(after.focused)) {
    out.push_back({"focusChanged", {{"window", after.focused}}});
  }
  if (atRest) {
    for (const auto& [display, offset] : after.scroll) {
      auto old = before.scroll.find(display);
      if (old == before.scroll.end() || old->second != offset) {
        out.push_back({"scrollSettled", {{"display", display}, {"scroll", offset}}});
      }
    }
  }
  if (before.paused != after.paused)
    out.push_back({after.paused ? "paused" : "resumed", Json::object()});
  if (before.settings != after.settings && before.settings.is_object()) {
    Json changed = Json::object();
    for (const auto& [property, value] : after.settings.items()) {
      if (!before.settings.contains(property) || before.settings[property] != value)
        changed[property] = value;
    }
    out.push_back({"settingsChanged", {{"settings", changed}}});
  }
  return out;
}

}  // namespace vistarail::control
