#pragma once
// A small desktop for the simulator's tests: one 1440 x 900 display, virtual
// time, the three adapters, and a log of delivered notifications.

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_accessibility.h"
#include "platform/sim/sim_element.h"
#include "platform/sim/sim_window_server.h"
#include "platform/sim/sim_workspace.h"
#include "platform/sim/virtual_dispatch.h"
#include "platform/sim/world.h"

namespace vistarail::sim::testing {

class WorldTest : public ::testing::Test {
 protected:
  WorldTest() {
    display = world.plugDisplay(
        {.name = "Built-in", .frame = {0, 0, 1440, 900}, .visibleFrame = {0, 25, 1440, 800}});
  }

  Pid launch(std::string name, LaunchActivation activation = LaunchActivation::activates) {
    return world.launchApp({.bundleIdentifier = "com.example." + name, .name = name}, activation);
  }
  WindowKey open(Pid pid, std::string title, Rect frame = {100, 100, 600, 400}) {
    return world.openWindow(pid, {.title = std::move(title), .frame = frame});
  }
  AXElement app(Pid pid) { return ax.applicationElement(pid); }
  AXElement win(WindowKey key) { return ax.windowElement(key); }

  // An attached observer for pid registered for the given notifications on
  // the element; every delivery lands in `log` as "<name> <element>".
  AXObserver observe(Pid pid, const AXElement& element, const std::vector<std::string>& names) {
    auto observer = ax.createObserver(
        pid, [this](const AXObserver&, const AXElement& e, const std::string& name) {
          auto ref = elementRef(e);
          log.push_back(name + " " + (ref ? describe(*ref) : "?"));
        });
    EXPECT_TRUE(observer.isOk());
    for (const auto& name : names) {
      EXPECT_EQ(ax.addNotification(*observer.value, element, name), AXError::success) << name;
    }
    ax.attachToMainRunLoop(*observer.value);
    return *observer.value;
  }

  std::vector<std::string> takeLog() {
    dispatch.runUntilIdle();
    return std::exchange(log, {});
  }

  VirtualDispatch dispatch;
  World world{dispatch, 42};
  SimAccessibility ax{world};
  SimWindowServer windowServer{world};
  SimWorkspace workspace{world};
  DisplayNumber display = 0;
  std::vector<std::string> log;
};

}  // namespace vistarail::sim::testing
