#include "base/signal.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vistarail {
namespace {

TEST(Signal, DeliversToSubscribersInSubscriptionOrder) {
  Signal<int, std::string> signal;
  std::vector<std::string> heard;
  auto a = signal.subscribe(
      [&](int n, const std::string& s) { heard.push_back("a" + s + std::to_string(n)); });
  auto b = signal.subscribe(
      [&](int n, const std::string& s) { heard.push_back("b" + s + std::to_string(n)); });
  signal.emit(1, ":");
  signal.emit(2, "-");
  EXPECT_EQ(heard, (std::vector<std::string>{"a:1", "b:1", "a-2", "b-2"}));
}

TEST(Signal, DroppedResetOrReplacedHandlesEndDeliveryAndAMovedOneKeepsIt) {
  Signal<int> signal;
  int kept = 0, dropped = 0, reset = 0, replaced = 0;
  Subscription moved;
  {
    auto original = signal.subscribe([&](int) { ++kept; });
    moved = std::move(original);
    // NOLINTNEXTLINE(bugprone-use-after-move): the state after a move is the point
    EXPECT_FALSE(original.active());
    auto scoped = signal.subscribe([&](int) { ++dropped; });
  }
  auto toReset = signal.subscribe([&](int) { ++reset; });
  toReset.reset();
  EXPECT_FALSE(toReset.active());
  auto toReplace = signal.subscribe([&](int) { ++replaced; });
  toReplace = signal.subscribe([](int) {});  // assignment ends the old subscription
  signal.emit(0);
  EXPECT_EQ(kept, 1);
  EXPECT_EQ(dropped + reset + replaced, 0);
  EXPECT_EQ(signal.subscriberCount(), 2u);
}

TEST(Signal, UnsubscribingInsideEmitStopsThatSubscriberAtOnce) {
  Signal<int> signal;
  std::vector<std::string> heard;
  Subscription later;
  Subscription self;
  auto first = signal.subscribe([&](int) {
    heard.push_back("first");
    later.reset();  // removes a subscriber still to be called in this emission
  });
  self = signal.subscribe([&](int) {
    heard.push_back("self");
    self.reset();  // removes itself while running
  });
  later = signal.subscribe([&](int) { heard.push_back("later"); });
  signal.emit(1);
  signal.emit(2);
  EXPECT_EQ(heard, (std::vector<std::string>{"first", "self", "first"}));
}

TEST(Signal, SubscriberAddedInsideEmitHearsOnlyTheNextOne) {
  Signal<int> signal;
  std::vector<int> heardByNew;
  std::optional<Subscription> added;
  auto adder = signal.subscribe([&](int) {
    if (!added) added = signal.subscribe([&](int n) { heardByNew.push_back(n); });
  });
  signal.emit(1);
  signal.emit(2);
  EXPECT_EQ(heardByNew, (std::vector<int>{2}));
}

TEST(Signal, SubscriptionOutlivingItsSignalIsHarmless) {
  auto signal = std::make_unique<Signal<>>();
  int calls = 0;
  Subscription sub = signal->subscribe([&] { ++calls; });
  signal->emit();
  signal.reset();
  EXPECT_TRUE(sub.active());
  sub.reset();  // must not touch the destroyed signal
  EXPECT_FALSE(sub.active());
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace vistarail
