// The status menu's picture: one row of height per item, the icon dimmed when
// the program is not managing, and a clear failure for a path it cannot write.

#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sim/renderer/menu_picture.h"
#include "platform/sim/temp_folder.h"

namespace vistarail::sim {
namespace {

namespace fs = std::filesystem;

struct Png {
  int width = 0;
  int height = 0;
  // The darkest grey of the icon's area, 0 black to 255 white.
  int iconDarkest = 255;
};

Png readPng(const fs::path& path) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    ADD_FAILURE() << path << " cannot be read as a PNG";
    cairo_surface_destroy(s);
    return {};
  }
  Png png{cairo_image_surface_get_width(s), cairo_image_surface_get_height(s)};
  const unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 8; y < 40; ++y) {
    for (int x = 30; x < 80; ++x) {
      const unsigned char* px = data + y * stride + x * 4;
      png.iconDarkest = std::min<int>(png.iconDarkest, px[1]);
    }
  }
  cairo_surface_destroy(s);
  return png;
}

Menu rows(int items) {
  Menu menu;
  for (int i = 0; i < items; ++i) menu.items.push_back({.title = "Row " + std::to_string(i)});
  return menu;
}

TEST(MenuPicture, GrowsWithTheMenuAndDimsTheIconWhenAsked) {
  const test::TempFolder folder;
  const fs::path& dir = folder.path();
  ASSERT_FALSE(writeMenuPng({rows(2), "rectangle.split.3x1", false}, dir / "two.png"));
  ASSERT_FALSE(writeMenuPng({rows(6), "rectangle.split.3x1", false}, dir / "six.png"));
  ASSERT_FALSE(writeMenuPng({rows(2), "rectangle.split.3x1.slash", true}, dir / "dim.png"));
  const Png two = readPng(dir / "two.png");
  const Png six = readPng(dir / "six.png");
  const Png dim = readPng(dir / "dim.png");
  EXPECT_EQ(two.width, six.width);
  EXPECT_EQ(six.height - two.height, 4 * 22 * 2);  // four more rows, at twice the scale
  EXPECT_LT(two.iconDarkest, 60);
  EXPECT_GT(dim.iconDarkest, two.iconDarkest + 40);

  const auto failed = writeMenuPng({rows(1), "", false}, dir / "missing" / "x.png");
  ASSERT_TRUE(failed);
  EXPECT_NE(failed->find("x.png"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "missing" / "x.png"));
}

}  // namespace
}  // namespace vistarail::sim
