#pragma once
// A small desktop for the simulator's tests: one 1440 x 900 display, virtual
// time, the three adapters, a log of delivered notifications, and readable
// text for what the accessibility services answer (elements by the names the
// fixture launched and opened them with).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ax_names.h"
#include "platform/sim/adapters/sim_accessibility.h"
#include "platform/sim/adapters/sim_window_server.h"
#include "platform/sim/adapters/sim_workspace.h"
#include "platform/sim/dispatch/virtual_dispatch.h"
#include "platform/sim/world/sim_element.h"
#include "platform/sim/world/world.h"

namespace vistarail::sim::test {

using Strings = std::vector<std::string>;

class WorldTest : public ::testing::Test {
 protected:
  WorldTest() {
    display = world.plugDisplay(
        {.name = "Built-in", .frame = {0, 0, 1440, 900}, .visibleFrame = {0, 25, 1440, 800}});
  }

  Pid launch(std::string name, LaunchActivation activation = LaunchActivation::activates) {
    const Pid pid =
        world.launchApp({.bundleIdentifier = "com.example." + name, .name = name}, activation);
    appNames[pid] = name;
    return pid;
  }
  WindowKey openWith(Pid pid, WindowSetup setup, WindowFocus focus = WindowFocus::takesFocus) {
    const std::string title = setup.title;
    const WindowKey key = world.openWindow(pid, std::move(setup), focus);
    windowNames[key] = {pid, title};
    return key;
  }
  WindowKey open(Pid pid, std::string title, Rect frame = {100, 100, 600, 400}) {
    return openWith(pid, {.title = std::move(title), .frame = frame});
  }
  AXElement app(Pid pid) { return ax.applicationElement(pid); }
  AXElement win(WindowKey key) { return ax.windowElement(key); }
  Rect frame(WindowKey key) { return world.window(key)->frame; }

  // An application by its launch name, a window by the title it was opened
  // with; anything else as the simulator describes it.
  std::string name(const AXElement& element) {
    const auto ref = elementRef(element);
    if (!ref) return "?";
    const auto window = windowNames.find(ref->window);
    if (ref->kind == ElementKind::application && appNames.count(ref->pid)) {
      return appNames[ref->pid];
    }
    if (ref->kind == ElementKind::window && window != windowNames.end() &&
        window->second.first == ref->pid) {
      return window->second.second;
    }
    return describe(*ref);
  }
  // The attributes' values (or errors) as text, one word each, space separated.
  std::string read(const AXElement& element, std::initializer_list<std::string_view> attributes) {
    std::string out;
    for (const auto attribute : attributes) {
      out += (out.empty() ? "" : " ") + text(ax.copyAttributeValue(element, attribute));
    }
    return out;
  }
  std::string text(const AXResult<AXValue>& result) {
    if (!result.isOk()) return toString(result.error);
    const AXValue& v = *result.value;
    const auto number = [](double d) {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%g", d);
      return std::string(buffer);
    };
    if (auto b = asBool(v)) return *b ? "true" : "false";
    if (auto d = asNumber(v)) return number(*d);
    if (auto s = asString(v)) return *s;
    if (auto p = asPoint(v)) return "(" + number(p->x) + "," + number(p->y) + ")";
    if (auto s = asSize(v)) return number(s->width) + "x" + number(s->height);
    if (auto e = asElement(v)) return name(*e);
    const auto elements = asElements(v);
    std::string list;
    for (const auto& e : *elements) list += (list.empty() ? "" : ",") + name(e);
    return "[" + list + "]";
  }

  // The windows the window server lists on screen, front to back.
  std::vector<WindowKey> onScreen() {
    std::vector<WindowKey> keys;
    for (const auto& info : windowServer.copyWindowInfo(window_list::kOnScreenWindows, 0)) {
      keys.push_back(world.windowWithNumber(info.number).value_or(0));
    }
    return keys;
  }
  bool listed(WindowKey key) {
    const auto keys = onScreen();
    return std::find(keys.begin(), keys.end(), key) != keys.end();
  }

  // An attached observer for pid registered for the given notifications on
  // the element; every delivery lands in `log` as "<notification> <name>".
  AXObserver observe(Pid pid, const AXElement& element, const Strings& notifications) {
    auto observer = ax.createObserver(
        pid, [this](const AXObserver&, const AXElement& e, const std::string& notification) {
          log.push_back(notification + " " + name(e));
        });
    EXPECT_TRUE(observer.isOk());
    for (const auto& notification : notifications) {
      EXPECT_EQ(ax.addNotification(*observer.value, element, notification), AXError::success)
          << notification;
    }
    ax.attachToMainRunLoop(*observer.value);
    return *observer.value;
  }
  // Workspace events land in `log` too, as "<event> <application name>".
  Subscription logWorkspace() {
    return workspace.observe([this](WorkspaceEvent e, const std::optional<RunningApplication>& r) {
      EXPECT_TRUE(dispatch.onMainQueue());
      const char* names[] = {"launch", "terminate", "activate", "hide", "unhide", "space"};
      log.push_back(names[static_cast<int>(e)] + (r ? " " + r->localizedName : "") +
                    (r && r->isTerminated ? " (gone)" : ""));
    });
  }
  Strings takeLog() {
    dispatch.runUntilIdle();
    return std::exchange(log, {});
  }

  VirtualDispatch dispatch;
  World world{dispatch, 42};
  SimAccessibility ax{world};
  SimWindowServer windowServer{world};
  SimWorkspace workspace{world};
  DisplayNumber display = 0;
  Strings log;
  std::map<Pid, std::string> appNames;
  std::map<WindowKey, std::pair<Pid, std::string>> windowNames;
};

}  // namespace vistarail::sim::test
