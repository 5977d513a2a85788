#pragma once
// A mover on the simulated desktop, with what the applications saw and what
// the mover reported, for the scenario tests.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "mover/window_mover.h"
#include "platform/ax_names.h"
#include "platform/sim/adapters/sim_accessibility.h"
#include "platform/sim/dispatch/virtual_dispatch.h"
#include "platform/sim/world/world.h"

namespace vistarail::test {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

inline constexpr Rect kScreen{0, 0, 1440, 900};
inline constexpr Rect kVisibleArea{0, 25, 1440, 800};

// "read AXSize", "set AXPosition 200,100", "set AXSize 500x600", "set AXEnhancedUserInterface
// true".
inline std::string describe(const sim::AXCall& call) {
  const bool set = call.kind == sim::AXCallKind::setAttribute;
  std::string text = (set ? "set " : "read ") + call.name;
  if (!set || !call.value) return text;
  auto n = [](double v) { return std::to_string(static_cast<int>(v)); };
  if (auto p = asPoint(*call.value)) return text + " " + n(p->x) + "," + n(p->y);
  if (auto s = asSize(*call.value)) return text + " " + n(s->width) + "x" + n(s->height);
  return text + (asBool(*call.value).value_or(false) ? " true" : " false");
}

template <class Dispatcher>
struct BasicMoverScene {
  std::unique_ptr<Dispatcher> dispatchOwner = std::make_unique<Dispatcher>();
  Dispatcher& dispatch = *dispatchOwner;
  sim::World world{dispatch, 7};
  sim::SimAccessibility ax{world};
  std::shared_ptr<WindowMover> mover = std::make_shared<WindowMover>(ax, dispatch);
  // "verified id WxH" / "mismatch id WxH" with the size read back, and when.
  std::vector<std::string> reports;
  std::vector<double> reportTimes;

  BasicMoverScene() {
    world.plugDisplay({.name = "Built-in", .frame = kScreen, .visibleFrame = kVisibleArea});
    auto record = [this](const char* kind) {
      return [this, kind](WindowId id, const Rect&, const Rect& read) {
        const Size actual = read.size;
        reports.push_back(std::string(kind) + " " + std::to_string(id) + " " +
                          std::to_string(int(actual.width)) + "x" +
                          std::to_string(int(actual.height)));
        reportTimes.push_back(dispatch.mediaTime());
      };
    };
    mover->onVerified = record("verified");
    mover->onSizeMismatch = record("mismatch");
  }
  // The dispatch goes first: with real threads, that stops every queue before
  // the mover and the world they call into are destroyed.
  ~BasicMoverScene() {
    dispatchOwner.reset();
    mover.reset();
  }

  Pid launch(sim::Behaviour behaviour = {}, bool enhancedUI = false) {
    return world.launchApp({.enhancedUserInterface = enhancedUI, .behaviour = behaviour});
  }
  ManagedWindowRef open(Pid pid, Rect frame, Size minSize = {}) {
    const auto key = world.openWindow(pid, {.frame = frame, .minSize = minSize});
    return std::make_shared<ManagedWindow>(ManagedWindow{world.window(key)->number.value_or(0), pid,
                                                         ax.windowElement(key),
                                                         ax.applicationElement(pid)});
  }
  sim::WindowKey keyOf(const ManagedWindowRef& w) const {
    return *sim::SimAccessibility::windowKey(w->element);
  }
  Rect frameOf(const ManagedWindowRef& w) const { return world.window(keyOf(w))->frame; }

  // Calls about the window (or, with a name, about that application attribute).
  std::vector<sim::AXCall> calls(const ManagedWindowRef& w, const char* appAttribute = nullptr) {
    std::vector<sim::AXCall> result;
    for (const auto& call : world.calls(w->pid)) {
      const bool match =
          appAttribute ? !call.window && call.name == appAttribute : call.window == keyOf(w);
      if (match) result.push_back(call);
    }
    return result;
  }
  std::vector<std::string> described(const ManagedWindowRef& w, const char* appAttribute = nullptr,
                                     bool setsOnly = false) {
    std::vector<std::string> lines;
    for (const auto& call : calls(w, appAttribute)) {
      if (!setsOnly || call.kind == sim::AXCallKind::setAttribute) lines.push_back(describe(call));
    }
    return lines;
  }
  std::vector<double> positionWriteTimes(const ManagedWindowRef& w) {
    std::vector<double> times;
    for (const auto& call : calls(w)) {
      if (call.kind == sim::AXCallKind::setAttribute && call.name == ax::kPosition) {
        times.push_back(call.startSeconds);
      }
    }
    return times;
  }
};

struct MoverScene : BasicMoverScene<sim::VirtualDispatch> {
  void runFor(double s) { dispatch.runFor(s); }
  void runUntil(double t) { dispatch.runUntil(t); }
};

inline void expectTimes(const std::vector<double>& actual, const std::vector<double>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-9) << i;
}

}  // namespace vistarail::test
