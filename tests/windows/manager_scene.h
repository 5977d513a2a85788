#pragma once
// The window manager on a simulated desktop, for scenario tests in virtual
// time: what the applications did, what the manager did, and the strips in a
// short text notation ("[3] *[4 5]": columns left to right, the focused one
// starred, stacked windows inside one pair of brackets, by window number).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "overlays/minimap_layout.h"
#include "platform/ax_names.h"
#include "platform/sim/adapters/desktop.h"
#include "windows/window_manager.h"

namespace vistarail::test {

inline constexpr Rect kMainFrame{0, 0, 1440, 900};
inline constexpr Rect kMainVisible{0, 25, 1440, 875};
inline constexpr Rect kRightFrame{1440, 0, 1920, 1080};
inline constexpr Rect kRightVisible{1440, 25, 1920, 1055};

struct ManagerScene : sim::Desktop {
  std::vector<std::string> logLines;
  std::unique_ptr<AppSettings> settings;
  std::shared_ptr<WindowManager> manager;
  std::vector<ManagerEvent> events;
  std::vector<double> eventTimes;
  DisplayNumber mainDisplay = 0;

  ManagerScene() : sim::Desktop(11) {
    mainDisplay =
        world.plugDisplay({.name = "Built-in", .frame = kMainFrame, .visibleFrame = kMainVisible});
  }
  ~ManagerScene() {
    manager.reset();
    settings.reset();
  }

  // The program launching: settings read from the stored defaults, a new
  // manager, started, and time to settle.
  void startManager(double settleSeconds = 2.0) {
    auto displays = DisplayInfo::all(workspace, windowServer);
    settings = std::make_unique<AppSettings>(
        defaults, displays.empty() ? std::nullopt : std::optional<std::string>(displays[0].id));
    manager = WindowManager::create(
        *settings, defaults,
        {ax, windowServer, workspace, dispatch, links, hotKeys, taps, /*ownPid=*/0,
         [this](std::string_view line) { logLines.emplace_back(line); }, &overlayPanels, &text});
    manager->onEvent = [this](const ManagerEvent& event) {
      events.push_back(event);
      eventTimes.push_back(dispatch.now());
    };
    manager->start();
    run(settleSeconds);
  }
  // Quits the program, waiting for the stop to complete.
  void stopManager() {
    bool done = false;
    manager->stop([&] { done = true; });
    dispatch.runFor(6.0);
    ASSERT_TRUE(done);
    manager.reset();
    settings.reset();
  }
  void run(double seconds) { dispatch.runFor(seconds); }

  Pid launch(const std::string& name, sim::Behaviour behaviour = {}) {
    return world.launchApp(
        {.bundleIdentifier = "com.example." + name, .name = name, .behaviour = behaviour},
        sim::LaunchActivation::activates);
  }
  sim::WindowKey open(Pid pid, Rect frame = {100, 100, 700, 500}, sim::WindowSetup setup = {}) {
    setup.frame = frame;
    return world.openWindow(pid, setup);
  }
  // Windows opened one after another, each becoming a column of its own,
  // then time for the strip to settle.
  std::vector<sim::WindowKey> openColumns(Pid pid, int count) {
    std::vector<sim::WindowKey> keys;
    for (int i = 0; i < count; ++i) {
      keys.push_back(open(pid, {100.0 + 50 * i, 100, 700, 500}));
      run(0.5);
    }
    run(2.0);
    return keys;
  }
  WindowId number(sim::WindowKey key) const { return world.window(key)->number.value_or(0); }
  Rect frame(sim::WindowKey key) const { return world.window(key)->frame; }

  std::string displayID(size_t index = 0) const {
    return manager->connectedDisplays().at(index).id;
  }
  const Strip* strip(size_t index = 0) const {
    auto& state = manager->displays().at(displayID(index));
    return state.currentStrip();
  }
  std::string describe(size_t index = 0) const {
    const Strip* s = strip(index);
    if (!s) return "(none)";
    std::string text;
    for (int c = 0; c < s->count(); ++c) {
      if (!text.empty()) text += " ";
      if (c == s->focusedIndex) text += "*";
      text += "[";
      for (size_t w = 0; w < s->columns[c].windows.size(); ++w) {
        text += (w ? " " : "") + std::to_string(s->columns[c].windows[w]);
      }
      text += "]";
    }
    return text;
  }
  std::vector<double> eventsAt(ManagerEvent::Kind kind) const {
    std::vector<double> times;
    for (size_t i = 0; i < events.size(); ++i) {
      if (events[i].kind == kind) times.push_back(eventTimes[i]);
    }
    return times;
  }
  // Reads of the application's window list: one per scan.
  int scans(Pid pid) const {
    int n = 0;
    for (const auto& call : world.calls(pid)) {
      n += call.kind == sim::AXCallKind::copyAttribute && call.name == ax::kWindows;
    }
    return n;
  }
  // Position writes the application accepted for a window.
  std::vector<sim::AXCall> writes(sim::WindowKey key) const {
    std::vector<sim::AXCall> result;
    for (const auto& call : world.calls(world.window(key)->pid)) {
      if (call.window == key && call.kind == sim::AXCallKind::setAttribute &&
          call.name == ax::kPosition) {
        result.push_back(call);
      }
    }
    return result;
  }
};

// A window counts as visible when a usable part of it is on some display.
inline bool inView(const Rect& frame, const std::vector<sim::SimDisplay>& displays) {
  for (const auto& display : displays) {
    const Rect part = frame.intersection(display.frame);
    if (!part.isNull() && part.width() >= 40 && part.height() >= 40) return true;
  }
  return false;
}

// The state of what the program owes a window; released when it has no record.
inline MovedState stateOf(const ManagerScene& scene, sim::WindowKey key) {
  const MovedWindow* record = scene.manager->movedWindow(scene.number(key));
  return record ? record->state : MovedState::released;
}

inline std::vector<WindowId> windowsIn(const WindowManager& manager, MovedState state) {
  std::vector<WindowId> ids;
  for (const auto& [id, record] : manager.movedWindows()) {
    if (record.state == state) ids.push_back(id);
  }
  return ids;
}

}  // namespace vistarail::test
