#include "platform/sim/sim_display_link.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/virtual_dispatch.h"

namespace vistarail::sim {
namespace {

struct SimDisplayLinkTest : ::testing::Test {
  VirtualDispatch dispatch;
  SimDisplayLinkFactory links{dispatch};
  ScreenInfo screen;
  std::vector<double> frameTimes;
  std::vector<std::string> frameQueues;

  DisplayLinkRef make() {
    return links.makeDisplayLink(screen, [this](double now) {
      frameTimes.push_back(now);
      frameQueues.push_back(dispatch.currentQueueLabel());
    });
  }
};

TEST_F(SimDisplayLinkTest, TicksAt120HzOnTheMainQueueInVirtualTime) {
  auto link = make();
  EXPECT_FALSE(link->isRunning());
  dispatch.runFor(0.1);
  EXPECT_TRUE(frameTimes.empty());  // nothing before start

  link->start();
  EXPECT_TRUE(link->isRunning());
  dispatch.runFor(0.054);
  ASSERT_EQ(frameTimes.size(), 6u);
  for (size_t i = 0; i < frameTimes.size(); ++i) {
    EXPECT_NEAR(frameTimes[i], 0.1 + (i + 1) / 120.0, 1e-9);
    EXPECT_EQ(frameQueues[i], "main");
  }
}

TEST_F(SimDisplayLinkTest, RefreshRateIsConfigurableAndBounded) {
  links.setRefreshRateHz(60);
  auto link = make();
  link->start();
  dispatch.runFor(0.508);
  EXPECT_EQ(frameTimes.size(), 30u);

  links.setRefreshRateHz(0);
  EXPECT_EQ(links.refreshRateHz(), SimDisplayLinkFactory::kMinRefreshRateHz);
  links.setRefreshRateHz(1e9);
  EXPECT_EQ(links.refreshRateHz(), SimDisplayLinkFactory::kMaxRefreshRateHz);
}

TEST_F(SimDisplayLinkTest, StartingARunningLinkDoesNotDoubleItsFrames) {
  auto link = make();
  link->start();
  link->start();
  dispatch.runFor(0.104);
  EXPECT_EQ(frameTimes.size(), 12u);
  EXPECT_EQ(links.runningLinkCount(), 1u);
}

TEST_F(SimDisplayLinkTest, StoppedLinksDeliverNothingMoreAndCanStartAgain) {
  auto link = make();
  link->start();
  dispatch.runFor(0.02);
  link->stop();
  EXPECT_EQ(links.runningLinkCount(), 0u);
  dispatch.runFor(0.2);
  EXPECT_EQ(frameTimes.size(), 2u);

  link->start();
  dispatch.runFor(1.5 / 120);
  EXPECT_EQ(frameTimes.size(), 3u);
}

TEST_F(SimDisplayLinkTest, AFrameMayStopOrDropItsOwnLink) {
  DisplayLinkRef link;
  int frames = 0;
  link = links.makeDisplayLink(screen, [&](double) {
    if (++frames == 2) link.reset();  // the last handle goes inside a frame
  });
  link->start();
  dispatch.runFor(1.0);
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(links.linksCreated(), 1u);
  EXPECT_EQ(links.runningLinkCount(), 0u);
  EXPECT_TRUE(dispatch.runUntilIdle());  // no timer left behind
}

}  // namespace
}  // namespace vistarail::sim
