#include "control/state_json.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <unordered_set>

#include "app/settings_table.h"

namespace vistarail::control {

namespace {

// Rounded to a hundredth of a point: scripts compare frames, and a spring's
// last digits are noise.
double tidy(double value) {
  return std::round(value * 100) / 100;
}

struct Placement {
  std::string display;
  int column = 0;
  int row = 0;
};

// Where each window sits in the strip its display shows now.
std::unordered_map<WindowId, Placement> placements(const WindowManager& manager) {
  std::unordered_map<WindowId, Placement> out;
  for (const DisplayInfo& info : manager.connectedDisplays()) {
    auto state = manager.displays().find(info.id);
    if (state == manager.displays().end()) continue;
    const Strip* strip = state->second.currentStrip();
    if (!strip) continue;
    for (size_t c = 0; c < strip->columns.size(); ++c) {
      const Column& column = strip->columns[c];
      for (size_t r = 0; r < column.windows.size(); ++r) {
        out.emplace(column.windows[r],
                    Placement{info.id, static_cast<int>(c), static_cast<int>(r)});
      }
    }
  }
  return out;
}

Json windowJson(const WindowManager& manager, const TrackedWindow& window,
                const Placement* placement) {
  const WindowId id = window.id();
  Json j = {{"id", id},
            {"pid", window.pid()},
            {"app", window.appName.value_or("")},
            {"bundleId", window.bundleID ? Json(*window.bundleID) : Json()},
            {"title", window.title.value_or("")}};
  std::optional<Rect> frame = window.lastKnownFrame;
  if (placement) {
    auto laid = manager.laidOutFrames().find(id);
    if (laid != manager.laidOutFrames().end()) frame = laid->second;
  }
  j["frame"] = frame ? rectJson(*frame) : Json();
  j["focused"] = manager.focusedWindow() == id;
  j["tiled"] = placement != nullptr;
  j["parked"] = manager.isParked(id);
  // Not in a strip, yet a window the program could tile: taken out by the
  // user, or of an application that floats.
  j["floating"] = !placement && !window.isFullScreen && window.isTileable;
  j["fullScreen"] = window.isFullScreen;
  if (placement) {
    j["display"] = placement->display;
    j["column"] = placement->column;
    j["row"] = placement->row;
  }
  return j;
}

Json stripJson(const Strip& strip) {
  Json columns = Json::array();
  for (const Column& column : strip.columns) {
    columns.push_back({{"width", tidy(column.proportion)},
                       {"windows", column.windows},
                       {"active", column.activePosition()}});
  }
  return {{"columns", std::move(columns)},
          {"focusedColumn", strip.columns.empty() ? Json() : Json(strip.focusedIndex)},
          {"scroll", tidy(strip.scroll.value)}};
}

}  // namespace

Json rectJson(const Rect& rect) {
  const Rect r = rect.standardized();
  return Json::array({tidy(r.minX()), tidy(r.minY()), tidy(r.width()), tidy(r.height())});
}

Json windowsJson(const WindowManager& manager) {
  const auto placed = placements(manager);
  std::vector<const TrackedWindow*> windows;
  windows.reserve(manager.windows().size());
  for (const auto& [id, window] : manager.windows()) windows.push_back(&window);
  // Strip order first (display by connection order, then column and row):
  // what a status bar shows left to right.
  std::unordered_map<std::string, int> displayOrder;
  for (const DisplayInfo& info : manager.connectedDisplays()) {
    displayOrder.emplace(info.id, static_cast<int>(displayOrder.size()));
  }
  auto key = [&](const TrackedWindow* w) {
    auto p = placed.find(w->id());
    if (p == placed.end()) return std::tuple(1, 0, 0, 0, w->id());
    return std::tuple(0, displayOrder[p->second.display], p->second.column, p->second.row, w->id());
  };
  std::sort(windows.begin(), windows.end(),
            [&](const TrackedWindow* a, const TrackedWindow* b) { return key(a) < key(b); });
  Json out = Json::array();
  for (const TrackedWindow* w : windows) {
    auto p = placed.find(w->id());
    out.push_back(windowJson(manager, *w, p == placed.end() ? nullptr : &p->second));
  }
  return out;
}

Json focusedJson(const WindowManager& manager) {
  const auto id = manager.focusedWindow();
  const TrackedWindow* window = id ? manager.window(*id) : nullptr;
  if (!window) return Json();
  const auto placed = placements(manager);
  auto p = placed.find(*id);
  return windowJson(manager, *window, p == placed.end() ? nullptr : &p->second);
}

Json displaysJson(const WindowManager& manager) {
  Json out = Json::array();
  for (const DisplayInfo& info : manager.connectedDisplays()) {
    Json d = {{"id", info.id},
              {"name", info.name},
              {"primary", info.isPrimary},
              {"frame", rectJson(info.frame)},
              {"visibleFrame", rectJson(info.visibleFrame)}};
    auto state = manager.displays().find(info.id);
    if (state != manager.displays().end()) {
      const DisplayState& s = state->second;
      d["managed"] = s.isManaged;
      d["active"] = s.isActive();
      d["space"] = {{"id", s.space.id}, {"fullScreen", s.space.isFullscreen}};
      const Strip* strip = s.currentStrip();
      d["strip"] = strip ? stripJson(*strip) : Json();
    } else {
      d["managed"] = false;
      d["active"] = false;
      d["space"] = Json();
      d["strip"] = Json();
    }
    out.push_back(std::move(d));
  }
  return out;
}

Json settingsJson(const AppSettings& settings) {
  Json out = Json::object();
  for (const std::string& property : settableProperties()) {
    out[property] = settingValue(settings, property);
  }
  return out;
}

Json stateJson(const WindowManager& manager, const AppSettings& settings) {
  return {{"status", manager.statusText()},
          {"paused", !settings.enabled.value()},
          {"focused", manager.focusedWindow() ? Json(*manager.focusedWindow()) : Json()},
          {"displays", displaysJson(manager)},
          {"windows", windowsJson(manager)},
          {"settings", settingsJson(settings)}};
}

}  // namespace vistarail::control
