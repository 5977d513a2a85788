// Change publication: Published values and the store's (debounced)
// signals used the way the window manager uses them, in virtual time.

#include <gtest/gtest.h>

#include "app/app_settings.h"
#include "app/published.h"
#include "platform/sim/defaults/memory_defaults.h"
#include "platform/sim/dispatch/virtual_dispatch.h"

namespace vistarail {
namespace {

using sim::MemoryDefaults;
using sim::VirtualDispatch;

TEST(Published, SubscribersChooseWhetherToHearTheCurrentValue) {
  Published<int> value(1);
  std::vector<int> skipping, emitting;
  Subscription a = value.subscribe([&](int v) { skipping.push_back(v); }, Delivery::skipCurrent);
  Subscription b = value.subscribe([&](int v) { emitting.push_back(v); }, Delivery::emitCurrent);
  value.assign(2);
  value.assign(2);
  EXPECT_EQ(skipping, (std::vector<int>{2, 2}));
  EXPECT_EQ(emitting, (std::vector<int>{1, 2, 2}));
}

// The three subscriptions the window manager holds on the store.
struct ManagerLike {
  ManagerLike(AppSettings& settings, VirtualDispatch& dispatch) {
    const QueueRef main = dispatch.main();
    bindingsChanged = settings.bindings.subscribe(
        [this, main](const Bindings&) { main->async([this] { ++reRegistrations; }); },
        Delivery::skipCurrent);
    enabledChanged = settings.enabled.subscribe(
        [this, main](bool on) { main->async([this, on] { switches.push_back(on); }); },
        Delivery::skipCurrent, Repeats::removeDuplicates);
    settled = settings.subscribeSettled(main, [this] { ++reApplications; });
  }
  int reRegistrations = 0;
  std::vector<bool> switches;
  int reApplications = 0;
  Subscription bindingsChanged, enabledChanged, settled;
};

class SettingsPublication : public ::testing::Test {
 protected:
  VirtualDispatch dispatch;
  MemoryDefaults defaults;
  AppSettings settings{defaults, "display-1"};
  ManagerLike manager{settings, dispatch};
};

TEST_F(SettingsPublication, TenAssignmentsInABurstReApplyOnce) {
  for (int i = 0; i < 10; ++i) {
    settings.innerGap.set(8.0 + i);
    dispatch.runFor(0.016);  // a slider dragged at display rate
  }
  dispatch.runFor(0.043);  // 59 ms after the last assignment
  EXPECT_EQ(manager.reApplications, 0);
  dispatch.runFor(0.002);
  EXPECT_EQ(manager.reApplications, 1);
  EXPECT_DOUBLE_EQ(settings.innerGap.value(), 17.0);
  dispatch.runUntilIdle();
  EXPECT_EQ(manager.reApplications, 1);

  settings.outerGap.set(2);  // a later change is a burst of its own
  dispatch.runUntilIdle();
  EXPECT_EQ(manager.reApplications, 2);
}

TEST_F(SettingsPublication, EnabledSetToItsOwnValueReAppliesButDoesNotSwitch) {
  settings.enabled.set(true);
  dispatch.runUntilIdle();
  EXPECT_EQ(manager.reApplications, 1);
  EXPECT_TRUE(manager.switches.empty());

  settings.enabled.set(false);
  settings.enabled.set(false);
  settings.enabled.set(true);
  dispatch.runUntilIdle();
  EXPECT_EQ(manager.switches, (std::vector<bool>{false, true}));
  EXPECT_EQ(manager.reApplications, 2);
}

TEST_F(SettingsPublication, BindingEditsReRegisterShortcutsOnTheMainQueue) {
  settings.addBinding({96, 0}, Action::retile);
  EXPECT_EQ(manager.reRegistrations, 0);  // hops to the main queue, never inline
  dispatch.runUntilIdle();
  EXPECT_EQ(manager.reRegistrations, 1);
  settings.removeBinding({96, 0}, Action::retile);
  settings.bindings.set(defaultBindings());
  dispatch.runUntilIdle();
  EXPECT_EQ(manager.reRegistrations, 3);
}

TEST_F(SettingsPublication, WillChangeFiresBeforeTheValueChangesAndSubscribersSeeItStored) {
  std::vector<std::string> events;
  Subscription before = settings.willChange().subscribe([&] {
    events.push_back("will change from " + std::to_string(int(settings.innerGap.value())));
  });
  Subscription after = settings.innerGap.subscribe(
      [&](double gap) {
        events.push_back("now " + std::to_string(int(gap)) + ", stored " +
                         std::to_string(int(defaults.number("innerGap"))));
      },
      Delivery::skipCurrent);
  settings.innerGap.set(20);
  EXPECT_EQ(events, (std::vector<std::string>{"will change from 8", "now 20, stored 20"}));
}

TEST_F(SettingsPublication, DroppedSubscriptionsHearNothingMore) {
  settings.innerGap.set(1);
  manager.settled.reset();
  manager.enabledChanged.reset();
  settings.enabled.set(false);
  dispatch.runUntilIdle();
  EXPECT_EQ(manager.reApplications, 0);  // the pending call went with the subscription
  EXPECT_TRUE(manager.switches.empty());
}

}  // namespace
}  // namespace vistarail
