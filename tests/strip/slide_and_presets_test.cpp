#include <gtest/gtest.h>

#include <cmath>

#include <vector>

#include "strip/layout.h"
#include "strip/slide_animation.h"
#include "strip/strip_springs.h"
#include "strip/width_presets.h"
#include "strip_builders.h"

namespace vistarail {
namespace {

using testing::laptopGeometry;
using testing::makeStrip;

constexpr SlideSettings kSlide{.animations = true, .carouselMode = false};

TEST(AnimatedMutation, MovedColumnsAreDrawnWhereTheyWereAndSpringHome) {
  const LayoutGeometry g = laptopGeometry();
  Strip strip = makeStrip({{1}, {2}, {3}}, 0);  // x 8, 724, 1440
  strip.columns[0].offset.velocity = 33;
  strip.columns[1].offset.value = 10;  // already sliding: drawn at 734
  animatedMutation(strip, g, kSlide, [](Strip& s) { s.moveColumn(0, 2); });
  // Now [2, 3, 1] at 8, 724, 1440.
  EXPECT_EQ(strip.columns[0].offset, (Spring{726, 0, 0}));
  EXPECT_EQ(strip.columns[1].offset, (Spring{716, 0, 0}));
  EXPECT_EQ(strip.columns[2].offset, (Spring{-1432, 0, 33}));  // velocity kept
  // Drawn exactly where they were before the move.
  const FrameList drawn = frames(strip, g, 0);
  EXPECT_EQ(drawn[0].frame.origin.x, 734);
  EXPECT_EQ(drawn[2].frame.origin.x, 8);
}

TEST(AnimatedMutation, NewColumnsAndJumpsGetNoOffset) {
  const LayoutGeometry g = laptopGeometry();
  Strip strip = makeStrip({{1, 2}, {3}}, 0);
  animatedMutation(strip, g, kSlide, [](Strip& s) { s.popOut(2); });
  EXPECT_EQ(strip.columns[1].offset, Spring{});    // the popped column is new
  EXPECT_EQ(strip.columns[2].offset.value, -716);  // window 3 was pushed right

  for (const SlideSettings& jump : {SlideSettings{.animations = false, .carouselMode = false},
                                    SlideSettings{.animations = true, .carouselMode = true}}) {
    Strip other = makeStrip({{1}, {2}}, 0);
    other.columns[1].offset = Spring{40, 0, 100};
    animatedMutation(other, g, jump, [](Strip& s) { s.moveColumn(1, 0); });
    EXPECT_EQ(other.columns[0].offset, Spring{});
    EXPECT_EQ(other.columns[1].offset, Spring{});
  }
}

TEST(AnimatedMutation, ClampsFocusAndPassesTheResultThrough) {
  const LayoutGeometry g = laptopGeometry();
  Strip strip = makeStrip({{1}, {2}}, 1);
  const bool moved = animatedMutation(strip, g, kSlide, [](Strip& s) {
    s.focusedIndex = 9;
    return s.stackIntoLeft();
  });
  EXPECT_FALSE(moved);  // focus was out of range when it ran
  EXPECT_EQ(strip.focusedIndex, 1);
  animatedMutation(strip, g, kSlide, [](Strip& s) { s.columns.clear(); });
  EXPECT_EQ(strip.focusedIndex, 0);
}

TEST(WidthPresets, CyclesForwardAndBackInAscendingOrderWithWrapAround) {
  const std::vector<double> presets{0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75};
  EXPECT_DOUBLE_EQ(cyclePresetProportion(presets, 0.5, CycleDirection::forward), 2.0 / 3);
  EXPECT_DOUBLE_EQ(cyclePresetProportion(presets, 0.755, CycleDirection::forward), 0.25);
  EXPECT_DOUBLE_EQ(cyclePresetProportion(presets, 0.25, CycleDirection::backward), 0.75);
  // Within 0.01 of a preset counts as at it; between presets goes to the next.
  EXPECT_DOUBLE_EQ(cyclePresetProportion(presets, 0.505, CycleDirection::forward), 2.0 / 3);
  EXPECT_DOUBLE_EQ(cyclePresetProportion(presets, 0.4, CycleDirection::backward), 1.0 / 3);

  const std::vector<double> unsorted{0.75, 0.25, 0.5};
  EXPECT_DOUBLE_EQ(cyclePresetProportion(unsorted, 0.25, CycleDirection::forward), 0.5);
  EXPECT_DOUBLE_EQ(cyclePresetProportion(unsorted, 0.5, CycleDirection::forward), 0.75);
  EXPECT_DOUBLE_EQ(cyclePresetProportion(unsorted, 0.5, CycleDirection::backward), 0.25);

  EXPECT_DOUBLE_EQ(cyclePresetProportion({}, 0.42, CycleDirection::forward), 0.42);
  const std::vector<double> junk{std::nan("")};
  EXPECT_DOUBLE_EQ(cyclePresetProportion(junk, 0.42, CycleDirection::backward), 0.42);
}

TEST(StripSprings, AnimatedFramesRunUntilEverythingSettles) {
  Strip strip = makeStrip({{1}, {2}});
  strip.scroll.target = 300;
  strip.columns[1].offset.value = -200;
  const SpringFrame frame{.stiffness = 420, .dtSeconds = 1.0 / 60};
  int frames = 0;
  while (advanceStripSprings(strip, frame) && frames < 200) ++frames;
  EXPECT_LT(frames, 60);
  EXPECT_EQ(strip.scroll, (Spring{300, 300, 0}));
  EXPECT_EQ(strip.columns[1].offset, Spring{});
}

TEST(StripSprings, WithoutAnimationsOneFrameLandsAndTheNextReportsRest) {
  Strip strip = makeStrip({{1}});
  strip.scroll = Spring{0, 300, 0};
  strip.columns[0].offset = Spring{50, 0, 5};
  const SpringFrame frame{.stiffness = 420, .dtSeconds = 1.0 / 60, .motion = SpringMotion::instant};
  EXPECT_TRUE(advanceStripSprings(strip, frame));
  EXPECT_EQ(strip.scroll, (Spring{300, 300, 0}));
  EXPECT_EQ(strip.columns[0].offset, Spring{});
  EXPECT_FALSE(advanceStripSprings(strip, frame));
}

TEST(StripSprings, AFingerOnTheScrollKeepsItAndTheStripMoving) {
  Strip strip = makeStrip({{1}});
  strip.scroll = Spring{120, 0, 0};
  const SpringFrame frame{
      .stiffness = 420, .dtSeconds = 1.0 / 60, .scrollDriver = ScrollDriver::finger};
  EXPECT_TRUE(advanceStripSprings(strip, frame));
  EXPECT_EQ(strip.scroll, (Spring{120, 0, 0}));
}

}  // namespace
}  // namespace vistarail
