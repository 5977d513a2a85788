#include "platform/x11/monitor_layout.h"

#include <gtest/gtest.h>

namespace vistarail::x11 {
namespace {

MonitorRecord monitor(const char* name, Rect frame, bool primary = false, double rate = 0) {
  MonitorRecord m;
  m.name = name;
  m.frame = frame;
  m.primary = primary;
  m.refreshRate = rate;
  return m;
}

TEST(MonitorLayout, PrimaryFirstInTheGlobalSpaceOfItsTopLeftCorner) {
  // The primary monitor is the right one, 1080 high, beside a taller left one
  // that starts 200 pixels higher on the root window.
  RootSpace space;
  const auto displays =
      displaysFromMonitors({monitor("DP-1", Rect(0, 0, 1920, 1280)),
                            monitor("HDMI-1", Rect(1920, 200, 2560, 1080), true, 144)},
                           {}, Size{4480, 1280}, space);
  ASSERT_EQ(displays.size(), 2u);
  EXPECT_EQ(space.origin, (Point{1920, 200}));
  EXPECT_EQ(displays[0].uuid, "X11-HDMI-1");
  EXPECT_EQ(displays[0].frame, Rect(0, 0, 2560, 1080));
  EXPECT_EQ(displays[0].refreshRate, 144);
  EXPECT_EQ(displays[1].uuid, "X11-DP-1");
  EXPECT_EQ(displays[1].frame, Rect(-1920, -200, 1920, 1280));
  EXPECT_EQ(displays[1].refreshRate, 60);  // unknown: the common rate
  // The screen API's space: y up from the primary's bottom edge.
  EXPECT_EQ(displays[0].screen.frame, Rect(0, 0, 2560, 1080));
  EXPECT_EQ(displays[1].screen.frame, Rect(-1920, 0, 1920, 1280));
  // And back: a root point is the global point moved by the origin.
  EXPECT_EQ(space.toRoot(Point{8, 8}), (Point{1928, 208}));
  EXPECT_EQ(space.toGlobal(space.toRoot(Rect(5, 6, 7, 8))), Rect(5, 6, 7, 8));
}

TEST(MonitorLayout, WithoutAPrimaryTheMonitorAtTheOriginLeads) {
  RootSpace space;
  const auto displays = displaysFromMonitors(
      {monitor("R", Rect(1280, 0, 1280, 1080)), monitor("L", Rect(0, 0, 1280, 1080))}, {},
      Size{2560, 1080}, space);
  ASSERT_EQ(displays.size(), 2u);
  EXPECT_EQ(displays[0].uuid, "X11-L");
  EXPECT_EQ(displays[1].frame, Rect(1280, 0, 1280, 1080));
  EXPECT_EQ(space.origin, (Point{0, 0}));
}

TEST(MonitorLayout, MirrorsAndEmptyMonitorsAreLeftOutAndNoneMeansTheRoot) {
  RootSpace space;
  auto displays = displaysFromMonitors(
      {monitor("A", Rect(0, 0, 1280, 1024)), monitor("B", Rect(0, 0, 1280, 1024)),
       monitor("C", Rect(1280, 0, 0, 0))},
      {}, Size{1280, 1024}, space);
  ASSERT_EQ(displays.size(), 1u);
  EXPECT_EQ(displays[0].uuid, "X11-A");
  displays = displaysFromMonitors({}, {}, Size{800, 600}, space);
  ASSERT_EQ(displays.size(), 1u);
  EXPECT_EQ(displays[0].frame, Rect(0, 0, 800, 600));
  EXPECT_EQ(displays[0].visibleFrame, Rect(0, 0, 800, 600));
}

TEST(MonitorLayout, StrutsTakeTheirEdgeOfTheMonitorsTheySpan) {
  const Size root{2560, 1080};
  // A 30-pixel panel along the top of the left monitor only, and a 40-pixel
  // dock at the right edge of the root (the right monitor's right edge).
  const auto top = strutFromProperty({0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 0, 1279, 0, 0}, root);
  const auto right = strutFromProperty({0, 40, 0, 0}, root);
  ASSERT_TRUE(top && right);
  RootSpace space;
  const auto displays = displaysFromMonitors(
      {monitor("L", Rect(0, 0, 1280, 1080), true), monitor("R", Rect(1280, 0, 1280, 1080))},
      {*top, *right}, root, space);
  ASSERT_EQ(displays.size(), 2u);
  EXPECT_EQ(displays[0].visibleFrame, Rect(0, 30, 1280, 1050));
  EXPECT_EQ(displays[1].visibleFrame, Rect(1280, 0, 1240, 1080));
  // In the screen API's space the top panel shortens the frame from above.
  EXPECT_EQ(displays[0].screen.visibleFrame, Rect(0, 0, 1280, 1050));
}

TEST(MonitorLayout, StrutPropertiesOfTheWrongShapeAreIgnored) {
  const Size root{1280, 1024};
  EXPECT_FALSE(strutFromProperty({}, root).has_value());
  EXPECT_FALSE(strutFromProperty({1, 2, 3}, root).has_value());
  EXPECT_FALSE(strutFromProperty({-5, 0, 0, 0}, root).has_value());
  // A strut that would leave nothing of a monitor is not believed.
  const auto greedy = strutFromProperty({0, 0, 2000, 0}, root);
  ASSERT_TRUE(greedy.has_value());
  RootSpace space;
  const auto displays =
      displaysFromMonitors({monitor("A", Rect(0, 0, 1280, 1024))}, {*greedy}, root, space);
  EXPECT_EQ(displays[0].visibleFrame, Rect(0, 0, 1280, 1024));
}

}  // namespace
}  // namespace vistarail::x11
