// Subscribers over real sockets: which events a change sends, that they come
// from changes and not from animation frames, and that a subscriber that does
// not read neither holds the main queue nor grows without bound.

#include <gmock/gmock.h>

#include "control/control_desk.h"

namespace vistarail::test {
namespace {

using Json = nlohmann::json;

// Every event that has come, by name in order.
std::vector<std::string> drain(ControlDesk& desk, control::ClientConnection& c,
                               std::vector<Json>* events = nullptr) {
  desk.settle();
  c.pump();
  std::vector<std::string> names;
  while (auto line = c.bufferedLine()) {
    const Json e = Json::parse(*line);
    names.push_back(e["event"]);
    if (events) events->push_back(e);
  }
  return names;
}

control::ClientConnection subscribe(ControlDesk& desk, const std::string& request) {
  auto c = desk.connect();
  const Json reply = desk.ask(c, request);
  EXPECT_EQ(reply["ok"], true) << reply.dump();
  return c;
}

TEST(EventStream, ACommandSendsOneStripChangeAndOneSettledScrollNotAFrameEach) {
  ControlDesk desk(4);
  auto c = subscribe(desk, R"({"id": 1, "request": "subscribe"})");
  desk.manager->perform(Action::cycleWidth);
  desk.settle(1.5);  // the whole animation, some 60 frames
  std::vector<Json> events;
  const auto names = drain(desk, c, &events);
  EXPECT_EQ(std::count(names.begin(), names.end(), "stripChanged"), 1)
      << ::testing::PrintToString(names);
  EXPECT_LE(names.size(), 3u) << ::testing::PrintToString(names);
  for (const Json& e : events) {
    if (e["event"] == "stripChanged") {
      EXPECT_EQ(e["columns"].size(), 4u);
    }
  }
}

TEST(EventStream, FocusWindowsAndSettingsEachHaveTheirEvent) {
  ControlDesk desk(2);
  auto c = subscribe(desk, R"({"id": 1, "request": "subscribe"})");
  using ::testing::Contains;

  desk.manager->perform(Action::focusLeft);
  desk.settle(1.0);
  EXPECT_THAT(drain(desk, c), Contains("focusChanged"));

  const auto key = desk.world.openWindow(desk.pid, {.title = "New", .frame = {100, 80, 600, 500}});
  desk.settle(2.0);
  std::vector<Json> events;
  auto names = drain(desk, c, &events);
  EXPECT_THAT(names, Contains("windowAdded"));
  EXPECT_THAT(names, Contains("stripChanged"));
  for (const Json& e : events) {
    if (e["event"] == "windowAdded") {
      EXPECT_EQ(e["window"]["title"], "New");
    }
  }

  desk.world.closeWindow(key);
  desk.settle(2.0);
  EXPECT_THAT(drain(desk, c), Contains("windowRemoved"));

  desk.settings->innerGap.set(20);
  desk.settle(0.2);
  events.clear();
  names = drain(desk, c, &events);
  ASSERT_THAT(names, Contains("settingsChanged"));
  for (const Json& e : events) {
    if (e["event"] == "settingsChanged") {
      EXPECT_EQ(e["settings"], Json({{"innerGap", 20.0}}));
    }
  }

  desk.settings->enabled.set(false);
  desk.settle(0.2);
  EXPECT_THAT(drain(desk, c), Contains("paused"));
  desk.settings->enabled.set(true);
  desk.settle(0.2);
  EXPECT_THAT(drain(desk, c), Contains("resumed"));
}

TEST(EventStream, ASubscriptionToSomeEventsGetsOnlyThose) {
  ControlDesk desk(3);
  auto c = subscribe(desk, R"({"id": 1, "request": "subscribe", "events": ["focusChanged"]})");
  desk.manager->perform(Action::focusLeft);
  desk.settle(1.0);
  desk.settings->innerGap.set(20);
  desk.settle(0.2);
  EXPECT_THAT(drain(desk, c), ::testing::ElementsAre("focusChanged"));
}

TEST(EventStream, NothingIsLookedAtWithoutSubscribers) {
  ControlDesk desk(3);
  desk.manager->perform(Action::focusLeft);
  desk.settle(1.0);
  // A subscriber that comes later hears only what changes after it came.
  auto c = subscribe(desk, R"({"id": 1, "request": "subscribe"})");
  desk.settle(0.5);
  EXPECT_THAT(drain(desk, c), ::testing::IsEmpty());
}

TEST(EventStream, ASubscriberThatDoesNotReadLagsAndTheOtherGetsEverything) {
  ControlDesk desk(4, {.maxClients = 64,
                       .eventQueueBytes = 4 * 1024,
                       .hardQueueBytes = 64 * 1024,
                       .socketBufferBytes = 4 * 1024});
  auto reader = subscribe(desk, R"({"id": 1, "request": "subscribe"})");
  auto sleeper = subscribe(desk, R"({"id": 2, "request": "subscribe"})");
  size_t readerEvents = 0;
  for (int i = 0; i < 60; ++i) {
    desk.manager->perform(i % 2 ? Action::cycleWidth : Action::cycleWidthBack);
    const double before = desk.dispatch.now();
    desk.settle(0.8);
    EXPECT_GE(desk.dispatch.now(), before + 0.8) << "the main queue goes on";
    readerEvents += drain(desk, reader).size();
  }
  EXPECT_GE(readerEvents, 60u) << "the reading subscriber missed nothing";
  EXPECT_EQ(desk.server->clientCount(), 2u) << "nobody was cut off";
  // Now the sleeper reads: what fitted, a lagged notice with how many were
  // dropped, and no more than its bound held.
  std::vector<Json> events;
  size_t bytes = 0;
  for (int i = 0; i < 50; ++i) {
    sleeper.pump();
    while (auto line = sleeper.bufferedLine()) {
      bytes += line->size();
      events.push_back(Json::parse(*line));
    }
    desk.settle();
  }
  const auto lagged = std::find_if(events.begin(), events.end(),
                                   [](const Json& e) { return e["event"] == "lagged"; });
  ASSERT_NE(lagged, events.end());
  EXPECT_GT((*lagged)["dropped"].get<int>(), 0);
  EXPECT_LT(events.size(), readerEvents);
  EXPECT_LT(bytes, 64u * 1024) << "bounded by the queue and the socket buffer";
}

}  // namespace
}  // namespace vistarail::test
