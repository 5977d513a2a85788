#include "platform/sim/renderer.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>

#include "platform/sim/renderer_layout.h"
#include "temp_folder.h"

namespace vistarail::sim {
namespace {

namespace fs = std::filesystem;

// The demo's arrangement: a laptop panel and a monitor to its right.
Scene twoDisplays() {
  Scene scene;
  scene.displays.push_back({"Built-in", Rect(0, 0, 1728, 1117), Rect(0, 37, 1728, 1000), true});
  scene.displays.push_back(
      {"External", Rect(1728, 0, 1920, 1080), Rect(1728, 25, 1920, 1055), false});
  return scene;
}

struct Pixel {
  int r, g, b, a;
};

class PngImage {
 public:
  explicit PngImage(const fs::path& path)
      : surface_(cairo_image_surface_create_from_png(path.c_str()), cairo_surface_destroy) {}
  bool valid() const { return cairo_surface_status(surface_.get()) == CAIRO_STATUS_SUCCESS; }
  int width() const { return cairo_image_surface_get_width(surface_.get()); }
  int height() const { return cairo_image_surface_get_height(surface_.get()); }
  Pixel at(int x, int y) const {
    const unsigned char* row = cairo_image_surface_get_data(surface_.get()) +
                               y * cairo_image_surface_get_stride(surface_.get());
    uint32_t argb;
    std::memcpy(&argb, row + 4 * x, 4);
    return {static_cast<int>((argb >> 16) & 255), static_cast<int>((argb >> 8) & 255),
            static_cast<int>(argb & 255), static_cast<int>(argb >> 24)};
  }
  Pixel at(Point p) const { return at(static_cast<int>(p.x), static_cast<int>(p.y)); }

 private:
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface_;
};

bool near(Pixel p, int r, int g, int b, int tolerance = 12) {
  return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance &&
         std::abs(p.b - b) <= tolerance;
}

// Where a global point lands in a picture of the given size (the renderer's own projection).
Point pixelOf(const Scene& scene, Point global, int width, int height) {
  const Projection p = fitProjection(displayBounds(scene), width, height, 16);
  return p.toPixels(global);
}

class RendererTest : public ::testing::Test {
 protected:
  testsupport::TempFolder folder;
  Renderer renderer;
};

TEST_F(RendererTest, WritesAPngOfTheRequestedSizeShowingDisplaysAndWindows) {
  Scene scene = twoDisplays();
  scene.windows.push_back({"Release Notes", "Safari", Rect(8, 45, 850, 984), false, false});
  scene.windows.push_back({"zsh", "Terminal", Rect(866, 45, 854, 984), true, false});
  const fs::path out = folder / "desktop.png";
  ASSERT_EQ(renderer.writePng(scene, out, 1200, 400), std::nullopt);

  const PngImage image(out);
  ASSERT_TRUE(image.valid());
  EXPECT_EQ(image.width(), 1200);
  EXPECT_EQ(image.height(), 400);
  const Pixel corner = image.at(0, 0);
  EXPECT_TRUE(near(corner, 28, 28, 33)) << "background outside the displays";
  EXPECT_EQ(corner.a, 255);
  // The focused window's title bar is the accent blue.
  const Pixel title = image.at(pixelOf(scene, {1400, 50}, 1200, 400));
  EXPECT_TRUE(near(title, 46, 125, 245, 20)) << title.r << "," << title.g << "," << title.b;
  // The menu bar of the second display is light; its desktop below is dark blue.
  EXPECT_GT(image.at(pixelOf(scene, {3000, 12}, 1200, 400)).r, 200);
  const Pixel desktop = image.at(pixelOf(scene, {3000, 600}, 1200, 400));
  EXPECT_LT(desktop.r, 80);
  EXPECT_GT(desktop.b, desktop.r);
}

TEST_F(RendererTest, AParkedWindowShowsAWidenedSliverAndAMarkerAtTheDisplayEdge) {
  Scene scene = twoDisplays();
  scene.windows.push_back({"Inbox", "Mail", Rect(3647, 33, 900, 1039), false, false});
  const fs::path out = folder / "parked.png";
  ASSERT_EQ(renderer.writePng(scene, out, 1200, 400), std::nullopt);
  const PngImage image(out);
  ASSERT_TRUE(image.valid());

  const Point edge = pixelOf(scene, {3648, 33 + 1039 / 2.0}, 1200, 400);
  // One point is a third of a pixel here; the sliver still covers whole pixels.
  const Pixel sliver = image.at(static_cast<int>(edge.x) - 2, static_cast<int>(edge.y));
  const Pixel desktop = image.at(static_cast<int>(edge.x) - 40, static_cast<int>(edge.y));
  EXPECT_FALSE(near(sliver, desktop.r, desktop.g, desktop.b, 30)) << "sliver must stand out";
  // The orange marker sits just inside, pointing at the edge.
  bool markerFound = false;
  for (int dx = 3; dx < 20 && !markerFound; ++dx) {
    markerFound =
        near(image.at(static_cast<int>(edge.x) - dx, static_cast<int>(edge.y)), 255, 140, 13, 25);
  }
  EXPECT_TRUE(markerFound);
  // Nothing of the window spills past the display.
  EXPECT_TRUE(near(image.at(static_cast<int>(edge.x) + 3, static_cast<int>(edge.y)), 28, 28, 33));
}

TEST_F(RendererTest, BadSizesAndUnwritablePathsAreErrorsNotCrashes) {
  const Scene scene = twoDisplays();
  for (const auto& [w, h] :
       {std::pair{0, 100}, {100, -1}, {Renderer::kMaxPixels + 1, 100}, {15, 15}}) {
    const auto error = renderer.writePng(scene, folder / "bad.png", w, h);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("between"), std::string::npos) << *error;
  }
  EXPECT_FALSE(fs::exists(folder / "bad.png"));

  const fs::path missingFolder = folder / "no" / "such" / "folder" / "x.png";
  const auto error = renderer.writePng(scene, missingFolder, 100, 100);
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->find(missingFolder.string()), std::string::npos) << *error;
  EXPECT_NE(error->find("No such file"), std::string::npos) << *error;

  EXPECT_TRUE(renderer.writePng(scene, folder.path(), 100, 100).has_value())
      << "a folder is not a file";
  EXPECT_TRUE(renderer.writePng(scene, "", 100, 100).has_value());
}

TEST_F(RendererTest, DegenerateScenesStillGiveAPicture) {
  Scene scene;
  scene.windows.push_back({"Lost", "App", Rect(10, 10, 100, 100), true, false});
  ASSERT_EQ(renderer.writePng(scene, folder / "empty.png", 64, 48), std::nullopt);
  const PngImage empty(folder / "empty.png");
  ASSERT_TRUE(empty.valid());
  EXPECT_TRUE(near(empty.at(32, 24), 28, 28, 33)) << "no display: no window is shown";

  scene = twoDisplays();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  scene.displays.push_back({"Broken", Rect(nan, 0, 10, 10), Rect::null(), false});
  scene.windows.push_back({"NaN", "App", Rect(nan, nan, 100, 100), false, false});
  scene.windows.push_back({"Infinite", "App", Rect(0, 0, inf, 100), false, false});
  scene.windows.push_back({"Backwards", "App", Rect(500, 500, -200, -200), false, true});
  scene.windows.push_back({"Tiny", "App", Rect(100, 100, 0.01, 0.01), false, false});
  scene.windows.push_back(
      {std::string(5000, 'W') + "\xe2\x9c", "Ünicode ✓", Rect(50, 50, 300, 300), true, false});
  ASSERT_EQ(renderer.writePng(scene, folder / "odd.png", 300, 100), std::nullopt);
  EXPECT_TRUE(PngImage(folder / "odd.png").valid());
}

TEST(RendererLayout, ProjectionFitsCentresAndKeepsTheAspectRatio) {
  const Rect bounds(0, 0, 3648, 1117);
  const Projection p = fitProjection(bounds, 1800, 640, 16);
  const Rect px = p.toPixels(bounds);
  EXPECT_NEAR(px.width() / px.height(), 3648.0 / 1117.0, 1e-9);
  EXPECT_NEAR(px.minX(), 16, 1e-9) << "the limiting side fills up to the margin";
  EXPECT_NEAR(1800 - px.maxX(), 16, 1e-9);
  EXPECT_NEAR(px.minY(), 640 - px.maxY(), 1e-9) << "centred the other way";
  EXPECT_GE(px.minY(), 16);

  const Projection offset = fitProjection(Rect(-1000, -500, 2000, 1000), 200, 100, 0);
  EXPECT_EQ(offset.toPixels(Point{-1000, -500}), (Point{0, 0}));
  EXPECT_EQ(offset.toPixels(Point{1000, 500}), (Point{200, 100}));
}

TEST(RendererLayout, PiecesClipToEachDisplayAndWidenSliversAgainstTheHiddenSide) {
  const std::vector<Rect> displays = {Rect(0, 0, 1000, 800), Rect(1000, 0, 1000, 800)};
  const Projection half{0.5, {0, 0}};  // one point is half a pixel

  const auto inside = windowPieces(Rect(100, 100, 400, 300), displays, half, 3);
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(inside[0].pixels, Rect(50, 50, 200, 150));
  EXPECT_EQ(inside[0].sliver, SliverSide::none);

  const auto spanning = windowPieces(Rect(900, 100, 200, 100), displays, half, 3);
  ASSERT_EQ(spanning.size(), 2u);
  EXPECT_EQ(spanning[0].pixels, Rect(450, 50, 50, 50));
  EXPECT_EQ(spanning[1].pixels, Rect(500, 50, 50, 50));

  const auto parkedRight = windowPieces(Rect(1999, 100, 900, 600), displays, half, 3);
  ASSERT_EQ(parkedRight.size(), 1u);
  EXPECT_EQ(parkedRight[0].pixels, Rect(997, 50, 3, 300));
  EXPECT_EQ(parkedRight[0].sliver, SliverSide::right);

  const auto parkedLeft = windowPieces(Rect(-899, 100, 900, 600), displays, half, 3);
  ASSERT_EQ(parkedLeft.size(), 1u);
  EXPECT_EQ(parkedLeft[0].pixels, Rect(0, 50, 3, 300));
  EXPECT_EQ(parkedLeft[0].sliver, SliverSide::left);

  const auto parkedBelow = windowPieces(Rect(100, 799, 300, 500), displays, half, 3);
  ASSERT_EQ(parkedBelow.size(), 1u);
  EXPECT_EQ(parkedBelow[0].pixels, Rect(50, 397, 150, 3));
  EXPECT_EQ(parkedBelow[0].sliver, SliverSide::bottom);

  EXPECT_TRUE(windowPieces(Rect(2000, 0, 100, 100), displays, half, 3).empty())
      << "touching is not showing";
  EXPECT_TRUE(windowPieces(Rect::null(), displays, half, 3).empty());
}

}  // namespace
}  // namespace vistarail::sim
