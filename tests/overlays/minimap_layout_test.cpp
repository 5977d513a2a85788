// The minimap's geometry and its press, click and drag handling.

#include "overlays/minimap_layout.h"

#include <gtest/gtest.h>

#include "overlay_fixture.h"
#include "overlays/minimap_view.h"

namespace vistarail::test {
namespace {

using namespace minimap;

StripSnapshot strip(double viewport, double content, double height = 800) {
  StripSnapshot s;
  s.viewportWidth = viewport;
  s.viewportHeight = height;
  s.contentWidth = content;
  return s;
}

TEST(MinimapLayout, ScaleAndPreferredSize) {
  struct Row {
    double viewport, content, maxWidth;
    double scale;
    Size size;
  };
  const Row rows[] = {
      // A strip narrower than the screen is drawn at 120 / viewport.
      {1000, 600, 720, 0.12, {140, 60}},
      // A long strip fills the smaller of maxWidth and 420, padding included.
      {1000, 10000, 720, 0.04, {420, 52}},
      {1000, 10000, 300, 0.028, {300, 42}},
      // No viewport: scale 1.
      {0, 50, 720, 1, {70, 60}},
      // Narrower than the padding (a display 20 points wide): no room, and
      // never a negative scale or size.
      {20, 1000, 16, 0, {20, 20}},
  };
  for (const Row& row : rows) {
    const StripSnapshot s = strip(row.viewport, row.content);
    EXPECT_DOUBLE_EQ(scaleOf(s, row.maxWidth).s, row.scale) << row.content;
    EXPECT_EQ(preferredSize(s, row.maxWidth), row.size) << row.content;
  }
  EXPECT_EQ(preferredSize(std::nullopt, 720), (Size{120, 56}));
  EXPECT_TRUE(hasRoom(strip(1000, 10000), 300));
  EXPECT_FALSE(hasRoom(strip(20, 1000), 16));
  EXPECT_FALSE(hasRoom(strip(20, 1000), 20));  // the padding alone
}

TEST(MinimapLayout, StackedColumnsNarrowColumnsAndHitMargins) {
  StripSnapshot s = strip(1000, 1000);  // scale 0.12, H = 40
  s.columns.push_back({0, 500, 3, 0, {{1, "", "", 11}, {1, "", "", 12}, {1, "", "", 0}}});
  s.columns.push_back({500, 10, 1, 0, {}});  // 1.2 points at this scale
  const auto b = blocks(s, 140, 720);
  ASSERT_EQ(b.size(), 4u);
  for (int j = 0; j < 3; ++j) EXPECT_EQ(b[j].rect, Rect(10, 10 + j * 14, 59, 12));
  EXPECT_EQ(b[3].rect.width(), 3);
  EXPECT_EQ(b[3].label, nullptr);

  EXPECT_EQ(hitTest(b, {9.5, 15}), 11u);  // within the 1-point margin
  EXPECT_EQ(hitTest(b, {8.5, 15}), std::nullopt);
  EXPECT_EQ(hitTest(b, {30, 23}), 12u);
  EXPECT_EQ(hitTest(b, {30, 45}), std::nullopt);  // a window without an id
  EXPECT_EQ(hitTest(b, {71, 15}), std::nullopt);  // the empty slot's column
}

TEST(MinimapLayout, DropTargets) {
  const StripSnapshot s = snapshotOf({400, 400, 400});
  const double width = preferredSize(s, 720).width;
  const auto b = blocks(s, width, 720);
  const Size view{width, 60};
  struct Row {
    WindowId dragged;
    Point at;
    std::optional<MinimapDropTarget> target;
  };
  const Row rows[] = {
      {1, {width - 12, 20}, MinimapDropTarget{3, true}},  // right of every centre
      {3, {11, 20}, MinimapDropTarget{1, false}},         // left of the first
      {1, {b[1].rect.midX() - 1, 20}, MinimapDropTarget{2, false}},
      {1, {width + 5, 20}, std::nullopt},  // outside the view
      {9, {20, 20}, std::nullopt},         // not in the strip
  };
  for (const Row& row : rows) {
    EXPECT_EQ(dropTarget(s, b, view, row.dragged, row.at), row.target) << row.at.x;
  }
  const StripSnapshot one = snapshotOf({400});
  EXPECT_EQ(dropTarget(one, blocks(one, 140, 720), {140, 60}, 1, {130, 20}), std::nullopt);
}

TEST(MinimapView, ClickUpToFourPointsDragBeyond) {
  OverlayDesk desk;
  for (double distance : {4.0, 4.1}) {
    MinimapView view(desk.panels);
    view.snapshot = snapshotOf({400, 400, 400});
    view.hostResized(view.preferredSize());
    std::vector<WindowId> clicks;
    std::vector<MinimapDropTarget> drops;
    int dragChanges = 0;
    view.onClick = [&](WindowId id) { clicks.push_back(id); };
    view.onReorder = [&](WindowId, MinimapDropTarget t) { drops.push_back(t); };
    view.onDragChange = [&] { ++dragChanges; };
    const auto b = blocks(*view.snapshot, view.boundsSize().width, view.maxWidth);
    const Point start = b[0].rect.center();
    view.mouseDown(start);
    view.mouseDragged({start.x + distance, start.y});
    EXPECT_EQ(desk.panels.cursorStack().size(), distance > 4 ? 1u : 0u);
    view.mouseUp({start.x + distance, start.y});
    if (distance > 4) {
      EXPECT_TRUE(clicks.empty());
      EXPECT_EQ(drops, (std::vector<MinimapDropTarget>{{2, false}}));
      EXPECT_EQ(dragChanges, 2);
    } else {
      EXPECT_EQ(clicks, std::vector<WindowId>{1});
      EXPECT_TRUE(drops.empty());
    }
    EXPECT_TRUE(desk.panels.cursorStack().empty());
  }
}

}  // namespace
}  // namespace vistarail::test
