// When the overlays of a display show, in virtual time.

#include "overlays/overlay_controller.h"

#include <gtest/gtest.h>

#include "overlay_fixture.h"

namespace vistarail::test {
namespace {

TEST(OverlayController, PulseShowsTheMinimapForAMomentAndAPointerOnItKeepsItUp) {
  OverlayDesk desk;
  const StripSnapshot s = snapshotOf({900, 900, 900}, 500, 1);
  desk.update(s);
  EXPECT_FALSE(desk.minimapShown());
  desk.controller->pulse();
  desk.controller->refresh();
  EXPECT_TRUE(desk.minimapShown());
  EXPECT_TRUE(desk.arrowShown(EdgeSide::left));
  EXPECT_TRUE(desk.arrowShown(EdgeSide::right));
  desk.dispatch.runFor(0.85);
  // Every frame of an animation updates; an unchanged strip neither extends
  // the pulse nor redraws anything.
  const int draws = desk.panels.drawCount();
  desk.update(s);
  desk.dispatch.runFor(0.01);
  EXPECT_EQ(desk.panels.drawCount(), draws);
  desk.dispatch.runFor(0.05);
  EXPECT_FALSE(desk.minimapShown());
  EXPECT_FALSE(desk.arrowShown(EdgeSide::left));
  desk.dispatch.runFor(0.2);

  // A still pointer over the minimap keeps it up; leaving counts 0.9 s anew.
  desk.controller->pulse();
  desk.controller->refresh();
  const Rect frame = desk.controller->visibleMinimap()->frame();
  desk.world.movePointer(flipVertically(frame.center(), kFrame.height()));
  desk.controller->minimapView()->mouseEntered({20, 20});
  desk.dispatch.runFor(5);
  EXPECT_TRUE(desk.minimapShown());
  desk.world.movePointer({700, 300});
  desk.controller->minimapView()->mouseExited({-1, -1});
  desk.dispatch.runFor(0.85);
  EXPECT_TRUE(desk.minimapShown());
  desk.dispatch.runFor(0.1);
  EXPECT_FALSE(desk.minimapShown());

  // A minimap that comes up under a still pointer hears of no entry, so no
  // exit either: the pointer moving off it must still let it go.
  desk.dispatch.runFor(0.2);
  desk.world.movePointer(flipVertically(frame.center(), kFrame.height()));
  desk.controller->pulse();
  desk.controller->refresh();
  desk.dispatch.runFor(3);
  EXPECT_TRUE(desk.minimapShown());
  desk.world.movePointer({700, 300});
  desk.dispatch.runFor(2);
  EXPECT_FALSE(desk.minimapShown());
}

TEST(OverlayController, NoMinimapOnADisplayTooNarrowForOne) {
  OverlayDesk desk;
  StripSnapshot s = snapshotOf({900, 900, 900}, 500, 1);
  s.viewportWidth = 20;
  const Rect narrow{0, 25, 20, 800};
  desk.controller->update(s, narrow, {0, 0, 20, 900}, std::nullopt, {});
  desk.controller->pulse();
  desk.controller->refresh();
  EXPECT_FALSE(desk.minimapShown());
  // The same strip on a wide display shows it.
  desk.update(snapshotOf({900, 900, 900}, 500, 1));
  desk.controller->pulse();
  desk.controller->refresh();
  EXPECT_TRUE(desk.minimapShown());
}

TEST(OverlayController, TitlesAndSubPointMotionDoNotCountAsChange) {
  OverlayDesk desk;
  StripSnapshot s = snapshotOf({900, 900}, 100);
  desk.update(s);
  desk.controller->pulse();
  desk.dispatch.runFor(0.5);
  s.columns[0].windows[0].title = "Renamed";
  s.scroll = 100.2;
  desk.update(s);  // would restart the countdown if it counted as a change
  desk.dispatch.runFor(0.45);
  EXPECT_FALSE(desk.controller->isPulsing());
  // A real change while the minimap is up keeps it up.
  desk.controller->pulse();
  desk.dispatch.runFor(0.5);
  s.scroll = 160;
  desk.update(s);
  desk.dispatch.runFor(0.5);
  EXPECT_TRUE(desk.minimapShown());
}

TEST(OverlayController, ArrowsNeedStripBeyondTheEdge) {
  struct Row {
    std::vector<double> widths;
    double scroll;
    bool left, right;
  };
  const Row rows[] = {
      {{900, 900}, 1, false, true},   {{900, 900}, 1.5, true, true},
      {{900, 900}, 384, true, false},  // at maxScroll
      {{600, 600}, 0, false, false},   // maxScroll 0
      {{900}, 200, false, false},      // one column: no minimap, no arrows
  };
  for (const Row& row : rows) {
    OverlayDesk desk;
    desk.update(snapshotOf(row.widths, row.scroll));
    desk.controller->pulse();
    desk.controller->refresh();
    EXPECT_EQ(desk.arrowShown(EdgeSide::left), row.left) << row.scroll;
    EXPECT_EQ(desk.arrowShown(EdgeSide::right), row.right) << row.scroll;
    EXPECT_EQ(desk.minimapShown(), row.widths.size() > 1);
  }
}

TEST(OverlayController, EdgeHoverShowsOneArrowUntilThePointerLeaves) {
  OverlayDesk desk;
  desk.update(snapshotOf({900, 900, 900}, 500));
  desk.controller->setEdgeHover(EdgeSide::right);
  EXPECT_TRUE(desk.arrowShown(EdgeSide::right));
  EXPECT_FALSE(desk.arrowShown(EdgeSide::left));
  EXPECT_FALSE(desk.minimapShown());
  desk.controller->setEdgeHover(std::nullopt);
  desk.dispatch.runFor(1.1);
  EXPECT_TRUE(desk.arrowShown(EdgeSide::right));
  desk.dispatch.runFor(0.2);
  EXPECT_FALSE(desk.arrowShown(EdgeSide::right));
}

TEST(OverlayController, CaptionNamesTheHoveredWindow) {
  struct Row {
    std::string title, app, caption;
  };
  // The application's name is left out when the title already holds it, in
  // whatever case and script: the match is the platform's, not ASCII's.
  const Row rows[] = {
      {"Inbox", "Mail", "Mail  \u2014  Inbox"},
      {"mail \u2014 Inbox", "Mail", "mail \u2014 Inbox"},
      {"", "Mail", "Mail"},
      {"", "", ""},
      {"STRASSENKARTE", "Straße", "STRASSENKARTE"},
      {"Réglages de l'ÉCRAN", "écran", "Réglages de l'ÉCRAN"},
      {"ΣΗΜΕΙΏΣΕΙΣ \u2014 λίστα", "Σημειώσεις", "ΣΗΜΕΙΏΣΕΙΣ \u2014 λίστα"},
      {"Ecran", "Écran", "Écran  \u2014  Ecran"},  // accents still count
      {"Notes", "Café", "Café  \u2014  Notes"},
  };
  const sim::SimTextServices textServices;
  for (const Row& row : rows) {
    auto text = captionText({1, row.title, row.app, 1}, textServices);
    EXPECT_EQ(text ? text->string() : "", row.caption) << row.title;
  }
  auto split = captionText({1, "Inbox", "Mail", 1}, textServices);
  EXPECT_EQ(split->runs.at(0).weight, FontWeight::semibold);
  EXPECT_EQ(split->runs.at(1).weight, FontWeight::regular);
}

}  // namespace
}  // namespace vistarail::test
