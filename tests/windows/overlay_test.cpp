// The overlays the manager drives: the border directly above the focused
// window and the dimming directly below it in the window order, the minimap
// shown for commands but not for focus from outside, clicks on the minimap
// and the arrows, and nothing shown on a full-screen Space.

#include <algorithm>

#include "manager_scene.h"
#include "strip/layout.h"

namespace vistarail::test {
namespace {

struct OverlayDesktop {
  ManagerScene scene;
  Pid editor = 0;
  std::vector<sim::WindowKey> keys;

  OverlayDesktop() {
    scene.defaults.set("dimInactive", PropertyList(true));
    editor = scene.launch("Editor");
    scene.startManager();
    for (int i = 0; i < 4; ++i) {
      keys.push_back(scene.open(editor, {100.0 + 40 * i, 100, 600, 400}));
      scene.run(1.0);
    }
    scene.run(1.0);
  }
  OverlayController& overlays() { return *scene.manager->overlays(scene.displayID()); }
  WindowId focused() const { return scene.number(*scene.world.focusedWindow()); }
  // The window numbers directly in front of and behind the focused window.
  std::pair<WindowId, WindowId> neighboursOfFocused() const {
    const auto order = scene.world.windowNumbersFrontToBack();
    auto at = std::find(order.begin(), order.end(), focused());
    if (at == order.end() || at == order.begin() || at + 1 == order.end()) return {0, 0};
    return {*(at - 1), *(at + 1)};
  }
  bool showing(const OverlayPanel* panel) { return overlays().isShowing(panel); }
};

TEST(Overlays, BorderAboveAndDimBelowTheFocusedWindowFollowingFocus) {
  OverlayDesktop desk;
  OverlayController& o = desk.overlays();
  const WindowId border = o.borderPanel()->windowNumber();
  const WindowId dim = o.dimPanel()->windowNumber();
  EXPECT_EQ(desk.neighboursOfFocused(), std::make_pair(border, dim));
  // The outline sits focusBorderWidth + 2 points outside the window.
  const Rect window = desk.scene.frame(*desk.scene.world.focusedWindow());
  EXPECT_EQ(flipVertically(o.borderPanel()->frame(), kMainFrame.height()), window.grownBy(5));

  // A click on another window (from outside the program) moves both, and
  // does not bring up the minimap.
  desk.scene.world.focusWindow(desk.keys[1]);
  desk.scene.run(0.3);
  EXPECT_EQ(desk.focused(), desk.scene.number(desk.keys[1]));
  EXPECT_EQ(desk.neighboursOfFocused(), std::make_pair(border, dim));
  EXPECT_EQ(o.visibleMinimap(), nullptr);
}

// Labels are kept from frame to frame and made afresh only when one changed:
// a title changed after the minimap has shown the window is what it shows.
TEST(Overlays, ATitleChangeReachesTheMinimapLabel) {
  OverlayDesktop desk;
  const WindowId id = desk.scene.number(desk.keys[2]);
  auto titleShown = [&]() -> std::optional<std::string> {
    const StripSnapshot* shown = desk.overlays().snapshot();
    if (!shown) return std::nullopt;
    for (const auto& column : shown->columns) {
      for (const auto& label : column.windows) {
        if (label.id == id) return label.title;
      }
    }
    return std::nullopt;
  };
  ASSERT_TRUE(titleShown());
  EXPECT_NE(titleShown(), "Renamed");
  ASSERT_TRUE(desk.scene.world.setWindowTitle(desk.keys[2], "Renamed"));
  desk.scene.run(1.0);
  EXPECT_EQ(titleShown(), "Renamed");
}

TEST(Overlays, CommandsPulseTheMinimapWhoseClicksAndArrowsMoveFocus) {
  OverlayDesktop desk;
  OverlayController& o = desk.overlays();
  desk.scene.manager->perform(Action::focusFirst);
  desk.scene.run(0.3);
  ASSERT_NE(o.visibleMinimap(), nullptr);
  EXPECT_TRUE(desk.showing(o.arrowPanel(EdgeSide::right)));
  {
    // It draws the strip as it stands: its extent, its columns, their windows.
    const StripSnapshot& shown = *o.minimapView()->snapshot;
    const Strip& strip = *desk.scene.strip();
    const LayoutGeometry geometry{kMainVisible, desk.scene.settings->innerGap.value(),
                                  desk.scene.settings->outerGap.value()};
    EXPECT_EQ(shown.contentWidth, contentWidth(strip, geometry));
    EXPECT_EQ(shown.maxScroll, maxScroll(strip, geometry));
    EXPECT_GT(shown.maxScroll, 0);
    const auto widths = columnWidths(strip, geometry);
    ASSERT_EQ(shown.columns.size(), strip.columns.size());
    for (size_t i = 0; i < strip.columns.size(); ++i) {
      EXPECT_EQ(shown.columns[i].width, widths[i]);
      ASSERT_EQ(shown.columns[i].windows.size(), 1u);
      EXPECT_EQ(shown.columns[i].windows[0].id, strip.columns[i].windows[0]);
      EXPECT_EQ(shown.columns[i].windows[0].appName, "Editor");
    }
  }
  // Up while the strip scrolls, gone 0.9 s after it settles.
  desk.scene.run(2.0);
  EXPECT_EQ(o.visibleMinimap(), nullptr);
  EXPECT_EQ(desk.focused(), desk.scene.number(desk.keys[0]));

  // The right arrow steps focus right, as focusRight does.
  desk.scene.manager->perform(Action::focusFirst);
  desk.scene.run(0.3);
  o.arrowView(EdgeSide::right)->mouseDown({20, 20});
  desk.scene.run(1.0);
  const Strip& strip = *desk.scene.strip();
  EXPECT_EQ(strip.focusedIndex, 1);

  // A click on the last block jumps there.
  desk.scene.manager->perform(Action::focusFirst);
  desk.scene.run(0.3);
  MinimapView& view = *o.minimapView();
  const auto blocks = minimap::blocks(*view.snapshot, view.boundsSize().width, view.maxWidth);
  view.mouseDown(blocks.back().rect.center());
  view.mouseUp(blocks.back().rect.center());
  desk.scene.run(1.0);
  EXPECT_EQ(desk.focused(), blocks.back().label->id);
}

TEST(Overlays, AFullScreenSpaceHidesEverything) {
  OverlayDesktop desk;
  OverlayController& o = desk.overlays();
  desk.scene.manager->perform(Action::focusFirst);
  desk.scene.run(0.1);
  desk.scene.world.enterFullScreen(desk.keys[0]);
  desk.scene.run(1.0);
  for (const OverlayPanel* panel : {o.borderPanel(), o.dimPanel(), o.visibleMinimap(),
                                    o.arrowPanel(EdgeSide::left), o.arrowPanel(EdgeSide::right)}) {
    EXPECT_FALSE(desk.showing(panel));
  }
}

}  // namespace
}  // namespace vistarail::test
