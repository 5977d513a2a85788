// The overlay views' own drawing, replayed as the desktop pictures replay it,
// checked pixel by pixel at one pixel per point.

#include <cairo.h>
#include <gtest/gtest.h>

#include <memory>

#include "overlays/overlay_views.h"
#include "platform/sim/adapters/recording_canvas.h"
#include "platform/sim/adapters/sim_overlay_panels.h"
#include "platform/sim/dispatch/virtual_dispatch.h"
#include "platform/sim/renderer/renderer_panels.h"
#include "platform/sim/world/world.h"

namespace vistarail::test {
namespace {

struct Picture {
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface{nullptr,
                                                                             cairo_surface_destroy};
  // Alpha and the blue channel, unpremultiplied enough for the checks here.
  int alpha(int x, int y) const { return pixel(x, y) >> 24; }
  int blue(int x, int y) const { return pixel(x, y) & 255; }
  uint32_t pixel(int x, int y) const {
    const auto* row = cairo_image_surface_get_data(surface.get()) +
                      y * cairo_image_surface_get_stride(surface.get());
    return reinterpret_cast<const uint32_t*>(row)[x];
  }
};

Picture draw(PanelView& view, Size size) {
  view.hostResized(size);
  sim::DisplayList list;
  sim::RecordingCanvas canvas(list);
  view.draw(canvas);
  Picture p;
  p.surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(size.width),
                                             static_cast<int>(size.height)));
  cairo_t* cr = cairo_create(p.surface.get());
  sim::replay(cr, list);
  cairo_destroy(cr);
  cairo_surface_flush(p.surface.get());
  return p;
}

struct Views {
  sim::VirtualDispatch dispatch;
  sim::World world{dispatch};
  sim::SimOverlayPanels panels{world, dispatch};
};

TEST(OverlayPixels, BorderIsAnAccentOutlineOfItsWidthWithRoundCorners) {
  Views v;
  FocusBorderView border(v.panels);
  border.lineWidth = 8;
  const Picture p = draw(border, {200, 120});
  // The stroke covers 1 ... 9 from the panel's edge; the window starts at 10.
  EXPECT_EQ(p.alpha(0, 60), 0);
  EXPECT_EQ(p.alpha(2, 60), 255);
  EXPECT_EQ(p.alpha(8, 60), 255);
  EXPECT_EQ(p.alpha(10, 60), 0);
  EXPECT_EQ(p.blue(5, 60), 255);  // the accent is blue
  // Radius 18 on the stroke's centre line: the corner is cut away.
  EXPECT_EQ(p.alpha(3, 3), 0);
  EXPECT_EQ(p.alpha(5 + 18, 5), 255);
}

TEST(OverlayPixels, DimIsBlackAtItsAmount) {
  DimView dim;
  dim.amount = 0.8;
  const Picture p = draw(dim, {50, 50});
  EXPECT_EQ(p.alpha(25, 25), 204);
  EXPECT_EQ(p.pixel(25, 25) & 0xFFFFFF, 0u);
}

TEST(OverlayPixels, ArrowChevronsPointOutwards) {
  Views v;
  for (EdgeSide side : {EdgeSide::left, EdgeSide::right}) {
    EdgeArrowView arrow(v.panels, side);
    const Picture p = draw(arrow, EdgeArrowView::kSize);
    // The chevron's tip is dark; the open side, 4 points the other way, is
    // the light circle.
    const int tip = side == EdgeSide::left ? 17 : 23;
    const int open = side == EdgeSide::left ? 23 : 17;
    EXPECT_LT(p.blue(tip, 20), 100) << static_cast<int>(side);
    EXPECT_GT(p.blue(open, 20), 200) << static_cast<int>(side);
  }
}

}  // namespace
}  // namespace vistarail::test
