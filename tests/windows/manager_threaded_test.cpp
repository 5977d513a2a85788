// The whole controller on real threads: the main queue pumped here, one
// thread per application queue, so ThreadSanitizer sees every hand-over
// between them (scans, restores, focus requests, the mover's records). Every
// wait is bounded; the figures are outcomes, never durations.

#include <gtest/gtest.h>

#include "app/app_settings.h"
#include "input/action.h"
#include "platform/sim/adapters/sim_accessibility.h"
#include "platform/sim/adapters/sim_display_link.h"
#include "platform/sim/adapters/sim_input.h"
#include "platform/sim/adapters/sim_overlay_panels.h"
#include "platform/sim/adapters/sim_window_server.h"
#include "platform/sim/adapters/sim_workspace.h"
#include "platform/sim/defaults/memory_defaults.h"
#include "platform/sim/dispatch/threaded_dispatch.h"
#include "platform/sim/world/world.h"
#include "windows/window_manager.h"

namespace vistarail::test {
namespace {

constexpr Rect kFrame{0, 0, 1440, 900};
constexpr Rect kVisible{0, 25, 1440, 875};

struct ThreadedDesk {
  sim::ThreadedDispatch dispatch;
  sim::World world{dispatch, 5};
  sim::SimAccessibility ax{world};
  sim::SimWindowServer windowServer{world};
  sim::SimWorkspace workspace{world};
  sim::SimDisplayLinkFactory links{dispatch};
  sim::SimHotKeys hotKeys{world};
  sim::SimEventTaps taps{world};
  sim::SimOverlayPanels panels{world, dispatch};
  sim::MemoryDefaults defaults;
  std::unique_ptr<AppSettings> settings;
  std::shared_ptr<WindowManager> manager;

  ThreadedDesk() {
    world.plugDisplay({.name = "Built-in", .frame = kFrame, .visibleFrame = kVisible});
  }
  // The ports must outlive every task on the application queues: let the
  // last ones finish, then release the manager (and its queues) here on the
  // main thread, where releasing a queue waits for its thread.
  ~ThreadedDesk() {
    dispatch.runMainFor(0.5);
    manager.reset();
    dispatch.runMainFor(0.05);
  }
  void start() {
    auto displays = DisplayInfo::all(workspace, windowServer);
    settings = std::make_unique<AppSettings>(defaults, displays[0].id);
    manager = WindowManager::create(*settings, defaults,
                                    {ax, windowServer, workspace, dispatch, links, hotKeys, taps,
                                     /*ownPid=*/0, [](std::string_view) {}, &panels});
    manager->start();
  }
  bool waitFor(const std::function<bool()>& done, double seconds = 5.0) {
    return dispatch.runMainUntil(done, seconds);
  }
  size_t tiled() const {
    size_t count = 0;
    for (const auto& [id, display] : manager->displays()) {
      if (const Strip* strip = display.currentStrip()) count += strip->allWindows().size();
    }
    return count;
  }
  bool allInView(const std::vector<sim::WindowKey>& keys) const {
    for (auto key : keys) {
      const auto w = world.window(key);
      if (!w) return false;
      const Rect part = w->frame.intersection(kFrame);
      if (part.isNull() || part.width() < 40 || part.height() < 40) return false;
    }
    return true;
  }
};

TEST(ManagerThreaded, TilesParksPausesAndQuitsWithEveryWindowBack) {
  ThreadedDesk desk;
  const Pid quick = desk.world.launchApp({.name = "Editor"});
  const Pid slow = desk.world.launchApp({.name = "Mail"});
  desk.world.setBehaviour(slow, {.latencySeconds = 0.002});
  std::vector<sim::WindowKey> keys;
  for (int i = 0; i < 3; ++i) {
    keys.push_back(desk.world.openWindow(quick, {.frame = {40.0 + 30 * i, 60, 700, 500}}));
    keys.push_back(desk.world.openWindow(slow, {.frame = {400.0 + 30 * i, 80, 700, 500}}));
  }
  desk.start();
  ASSERT_TRUE(desk.waitFor([&] { return desk.tiled() == keys.size(); }));
  // Six half-screen columns on one display: some are parked off screen.
  ASSERT_TRUE(desk.waitFor([&] {
    int parked = 0;
    for (auto key : keys) parked += desk.manager->isParked(desk.world.window(key)->number.value_or(0));
    return parked >= 2;
  }));

  // Commands and windows opened while the queues work.
  for (int i = 0; i < 6; ++i) {
    desk.manager->perform(i % 2 ? Action::focusRight : Action::moveLeft);
    desk.dispatch.runMainFor(0.01);
  }
  keys.push_back(desk.world.openWindow(slow, {.frame = {500, 100, 700, 500}}));
  ASSERT_TRUE(desk.waitFor([&] { return desk.tiled() == keys.size(); }));

  desk.settings->enabled.set(false);
  EXPECT_TRUE(desk.waitFor([&] { return desk.allInView(keys); }));
  desk.settings->enabled.set(true);
  ASSERT_TRUE(desk.waitFor([&] { return desk.tiled() == keys.size(); }));

  bool stopped = false;
  desk.manager->stop([&] { stopped = true; });
  ASSERT_TRUE(desk.waitFor([&] { return stopped; }, 7.0));
  EXPECT_TRUE(desk.allInView(keys));
  EXPECT_FALSE(desk.defaults.object(kUnrecoveredKey).has_value());
}

}  // namespace
}  // namespace vistarail::test
