// The settings window's picture: controls drawn where a person expects them,
// a picture as tall as the content, and failures reported without a file.

#include "platform/sim/renderer/form_renderer.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "platform/sim/temp_folder.h"

namespace vistarail::sim {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

struct Rgba {
  int r, g, b, a;
};

Rgba pixel(const fs::path& png, int x, int y) {
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> image(
      cairo_image_surface_create_from_png(png.c_str()), cairo_surface_destroy);
  if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) return {-1, -1, -1, -1};
  cairo_surface_flush(image.get());
  const unsigned char* row =
      cairo_image_surface_get_data(image.get()) + y * cairo_image_surface_get_stride(image.get());
  uint32_t argb;
  std::memcpy(&argb, row + 4 * x, 4);
  return {static_cast<int>((argb >> 16) & 0xff), static_cast<int>((argb >> 8) & 0xff),
          static_cast<int>(argb & 0xff), static_cast<int>(argb >> 24)};
}

FormWindow window(std::vector<FormControl> controls) {
  return {"Vistarail",
          {720, 560},
          {{"General", "gearshape"}, {"Layout", "rectangle.split.3x1"}},
          0,
          std::move(controls)};
}

FormControl toggle(bool on) {
  FormControl c;
  c.kind = FormControlKind::toggle;
  c.label = "Carousel mode";
  c.isOn = on;
  return c;
}

TEST(FormPicture, ASwitchShowsWhetherItIsOn) {
  TempFolder folder;
  // The first group starts below the title and tab bars; its switch sits at
  // the right edge of the first row, and its left end shows the track unless
  // the knob rests there.
  const int x = 720 - 24 - 14 - 36;
  const int y = 28 + 58 + 20 + 4 + 20;
  for (bool on : {true, false}) {
    const fs::path png = folder.path() / (on ? "on.png" : "off.png");
    ASSERT_EQ(writeFormPng(window({toggle(on)}), png, 1.0), std::nullopt);
    const Rgba p = pixel(png, x, y);
    if (on) {
      EXPECT_LT(p.r, 60) << "accent track";
      EXPECT_GT(p.b, 200);
    } else {
      EXPECT_GT(p.r, 230) << "white knob";
      EXPECT_GT(p.g, 230);
    }
  }
}

TEST(FormPicture, GrowsWithItsContentAndIsAtLeastTheWindow) {
  EXPECT_DOUBLE_EQ(formPictureHeight(window({toggle(true)})), 560 + 28 + 58);
  FormControl text;
  text.kind = FormControlKind::paragraph;
  for (int i = 0; i < 40; ++i) text.label += "a paragraph that wraps ";
  std::vector<FormControl> many(20, text);
  EXPECT_GT(formPictureHeight(window(many)), 1000);
  TempFolder folder;
  const fs::path png = folder.path() / "tall.png";
  ASSERT_EQ(writeFormPng(window(many), png, 2.0), std::nullopt);
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> image(
      cairo_image_surface_create_from_png(png.c_str()), cairo_surface_destroy);
  EXPECT_EQ(cairo_image_surface_get_width(image.get()), 1440);
  EXPECT_EQ(cairo_image_surface_get_height(image.get()),
            static_cast<int>(std::ceil(formPictureHeight(window(many)) * 2)));
}

TEST(FormPicture, FailuresLeaveNoFile) {
  TempFolder folder;
  const fs::path missing = folder.path() / "no" / "such" / "folder" / "a.png";
  const auto failure = writeFormPng(window({toggle(true)}), missing);
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->find("could not write"), std::string::npos);
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_TRUE(writeFormPng(window({}), folder.path() / "b.png", 9.0));
  EXPECT_FALSE(fs::exists(folder.path() / "b.png"));
  EXPECT_TRUE(writeFormPng(window({}), ""));
}

}  // namespace
}  // namespace vistarail::sim
