// The desktop picture: its command line, its layout arithmetic and the PNG.

#include "platform/sim/renderer/renderer.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/renderer/render_arguments.h"
#include "platform/sim/renderer/renderer_layout.h"
#include "platform/sim/temp_folder.h"

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
    if (!valid() || x < 0 || y < 0 || x >= width() || y >= height()) return {-1, -1, -1, -1};
    const unsigned char* row = cairo_image_surface_get_data(surface_.get()) +
                               y * cairo_image_surface_get_stride(surface_.get());
    uint32_t argb;
    std::memcpy(&argb, row + 4 * x, 4);
    return {static_cast<int>((argb >> 16) & 255), static_cast<int>((argb >> 8) & 255),
            static_cast<int>(argb & 255), static_cast<int>(argb >> 24)};
  }
  // Where a global point of the scene lands (the renderer's own projection),
  // moved by dx pixels.
  Pixel at(const Scene& scene, Point global, int dx = 0) const {
    const Projection p = fitProjection(displayBounds(scene), width(), height(), 16);
    const Point pixel = p.toPixels(global);
    return at(static_cast<int>(pixel.x) + dx, static_cast<int>(pixel.y));
  }

 private:
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface_;
};

bool near(Pixel p, int r, int g, int b, int tolerance = 12) {
  return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance &&
         std::abs(p.b - b) <= tolerance;
}
bool isBackground(Pixel p) {
  return near(p, 28, 28, 33);
}

class RendererTest : public ::testing::Test {
 protected:
  // Draws the scene into a picture of the given size and reads it back.
  PngImage draw(const Scene& scene, int width = 1200, int height = 400) {
    EXPECT_EQ(renderer.writePng(scene, folder / "picture.png", width, height), std::nullopt);
    PngImage image(folder / "picture.png");
    EXPECT_TRUE(image.valid());
    return image;
  }

  test::TempFolder folder;
  Renderer renderer;
};

TEST_F(RendererTest, WritesAPngOfTheRequestedSizeShowingDisplaysAndWindows) {
  Scene scene = twoDisplays();
  scene.windows.push_back({"Release Notes", "Safari", Rect(8, 45, 850, 984), false, false});
  scene.windows.push_back({"zsh", "Terminal", Rect(866, 45, 854, 984), true, false});
  const PngImage image = draw(scene);
  ASSERT_TRUE(image.valid());
  EXPECT_EQ(image.width(), 1200);
  EXPECT_EQ(image.height(), 400);
  EXPECT_TRUE(isBackground(image.at(0, 0))) << "outside the displays";
  EXPECT_EQ(image.at(0, 0).a, 255);
  // The focused window's title bar is the accent blue.
  const Pixel title = image.at(scene, {1400, 50});
  EXPECT_TRUE(near(title, 46, 125, 245, 20)) << title.r << "," << title.g << "," << title.b;
  // The menu bar of the second display is light; its desktop below is dark blue.
  EXPECT_GT(image.at(scene, {3000, 12}).r, 200);
  const Pixel desktop = image.at(scene, {3000, 600});
  EXPECT_LT(desktop.r, 80);
  EXPECT_GT(desktop.b, desktop.r);
}

TEST_F(RendererTest, AParkedWindowShowsAWidenedSliverAndAMarkerAtTheDisplayEdge) {
  Scene scene = twoDisplays();
  scene.windows.push_back({"Inbox", "Mail", Rect(3647, 33, 900, 1039), false, false});
  const PngImage image = draw(scene);
  ASSERT_TRUE(image.valid());
  const Point edge = {3648, 33 + 1039 / 2.0};
  // One point is a third of a pixel here; the sliver still covers whole pixels.
  const Pixel desktop = image.at(scene, edge, -40);
  EXPECT_FALSE(near(image.at(scene, edge, -2), desktop.r, desktop.g, desktop.b, 30))
      << "the sliver must stand out";
  // The orange marker sits just inside, pointing at the edge.
  bool markerFound = false;
  for (int dx = 3; dx < 20 && !markerFound; ++dx) {
    markerFound = near(image.at(scene, edge, -dx), 255, 140, 13, 25);
  }
  EXPECT_TRUE(markerFound);
  EXPECT_TRUE(isBackground(image.at(scene, edge, 3))) << "nothing spills past the display";
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
  EXPECT_TRUE(isBackground(draw(scene, 64, 48).at(32, 24))) << "no display: no window is shown";

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
  draw(scene, 300, 100);
}

TEST(RendererLayout, ProjectionFitsCentresAndKeepsProportions) {
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
  struct Case {
    const char* name;
    Rect window;
    std::vector<std::pair<Rect, SliverSide>> pieces;  // pixels and sliver side
  };
  const std::vector<Case> cases = {
      {"inside", {100, 100, 400, 300}, {{{50, 50, 200, 150}, SliverSide::none}}},
      {"spanning",
       {900, 100, 200, 100},
       {{{450, 50, 50, 50}, SliverSide::none}, {{500, 50, 50, 50}, SliverSide::none}}},
      {"parked right", {1999, 100, 900, 600}, {{{997, 50, 3, 300}, SliverSide::right}}},
      {"parked left", {-899, 100, 900, 600}, {{{0, 50, 3, 300}, SliverSide::left}}},
      {"parked below", {100, 799, 300, 500}, {{{50, 397, 150, 3}, SliverSide::bottom}}},
      {"touching is not showing", {2000, 0, 100, 100}, {}},
      {"null", Rect::null(), {}},
  };
  for (const auto& c : cases) {
    std::vector<std::pair<Rect, SliverSide>> pieces;
    for (const auto& piece : windowPieces(c.window, displays, half, 3)) {
      pieces.emplace_back(piece.pixels, piece.sliver);
    }
    EXPECT_EQ(pieces, c.pieces) << c.name;
  }
}

using Outcome = ParsedRenderArguments::Outcome;

struct Accepted {
  std::vector<std::string_view> args;
  RenderArguments expected;
};

TEST(RenderArguments, AcceptedCommandLines) {
  const RenderArguments defaults;
  const std::vector<Accepted> cases = {
      {{}, defaults},
      {{"--out", "pictures/a.png"},
       {"pictures/a.png", defaults.widthPixels, defaults.heightPixels}},
      {{"--out=b.png", "--width=640", "--height", "480"}, {"b.png", 640, 480}},
      {{"--width", "16", "--height", "8192"}, {defaults.outPath, 16, 8192}},
      {{"--width", "100", "--width", "200"}, {defaults.outPath, 200, defaults.heightPixels}},
      {{"--out", "-dash.png"}, {"-dash.png", defaults.widthPixels, defaults.heightPixels}},
      {{"--out=with=equals.png"}, {"with=equals.png", defaults.widthPixels, defaults.heightPixels}},
  };
  for (const auto& c : cases) {
    const auto parsed = parseRenderArguments(c.args);
    EXPECT_EQ(parsed.outcome, Outcome::run) << parsed.error;
    EXPECT_EQ(parsed.arguments, c.expected);
  }
}

TEST(RenderArguments, HelpWinsWhereverItAppears) {
  EXPECT_EQ(parseRenderArguments({"--help"}).outcome, Outcome::showHelp);
  EXPECT_EQ(parseRenderArguments({"--width", "300", "-h"}).outcome, Outcome::showHelp);
  const std::string usage = renderUsage("vistarail-sim");
  for (const char* word :
       {"vistarail-sim", "--out", "--width", "--height", "--help", "out/desktop.png"}) {
    EXPECT_NE(usage.find(word), std::string::npos) << word;
  }
}

struct Rejected {
  std::vector<std::string_view> args;
  const char* mentions;
};

TEST(RenderArguments, MalformedCommandLinesGiveOneLineErrors) {
  const std::vector<Rejected> cases = {
      {{"--colour", "red"}, "unknown option \"--colour\""},
      {{"-x"}, "unknown option"},
      {{"--outfile=a.png"}, "unknown option \"--outfile\""},
      {{"stray"}, "unexpected argument \"stray\""},
      {{"--out"}, "--out needs a value"},
      {{"--width"}, "--width needs a value"},
      {{"--out="}, "--out needs a file name"},
      {{"--width", "wide"}, "\"wide\""},
      {{"--width", "12px"}, "\"12px\""},
      {{"--height", "1.5"}, "\"1.5\""},
      {{"--height", "-100"}, "\"-100\""},
      {{"--width", "15"}, "from 16 to 8192"},
      {{"--height", "8193"}, "from 16 to 8192"},
      {{"--width", "99999999999999999999"}, "\"99999999999999999999\""},
      {{"--width="}, "\"\""},
      {{"--width", "300", "--bogus"}, "unknown option"}};
  for (const auto& c : cases) {
    const auto parsed = parseRenderArguments(c.args);
    ASSERT_EQ(parsed.outcome, Outcome::error) << c.mentions;
    EXPECT_NE(parsed.error.find(c.mentions), std::string::npos) << parsed.error;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
  }
}

TEST(RenderArguments, ReadsMainsParametersAfterTheProgramName) {
  const char* argv[] = {"vistarail-sim", "--width", "320", "--out", "x.png", nullptr};
  const auto parsed = parseRenderArguments(5, argv);
  ASSERT_EQ(parsed.outcome, Outcome::run);
  EXPECT_EQ(parsed.arguments.widthPixels, 320);
  EXPECT_EQ(parsed.arguments.outPath, "x.png");
}

}  // namespace
}  // namespace vistarail::sim
