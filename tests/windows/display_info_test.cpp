#include "windows/display_info.h"

#include <gtest/gtest.h>

#include "desk.h"

namespace vistarail {
namespace {

using test::builtInDisplay;
using test::Desk;

// Above and to the left of the built-in display, taller than it: its frame
// only comes back right if the flip uses the first screen's height.
const sim::DisplaySetup kStudio{.name = "Studio",
                                .frame = {-2560, -540, 2560, 1440},
                                .visibleFrame = {-2560, -515, 2560, 1390},
                                .uuid = "5e7a0000-0000-4000-8000-00000000a222"};

DisplayInfo info(std::string id, Rect frame) {
  return {std::move(id), 0, "", frame, frame, false};
}

TEST(Displays, ScreensInOrderWithLowerCaseIdsAndTopLeftFrames) {
  Desk desk;
  const DisplayNumber studio = desk.world.plugDisplay(kStudio);
  desk.world.plugDisplay({.frame = {1440, 0, 800, 600}, .screenNumberReadable = false});
  EXPECT_EQ(DisplayInfo::all(desk.workspace, desk.windowServer),
            (std::vector<DisplayInfo>{
                {"0b1d2c3e-0000-4000-8000-00000000b111",
                 desk.builtIn,
                 "Built-in",
                 test::kBuiltIn,
                 {0, 25, 1440, 800},
                 true},
                {"5e7a0000-0000-4000-8000-00000000a222", studio, "Studio", kStudio.frame,
                 kStudio.visibleFrame, false},
            }));

  // Only the first screen is primary, even when it is the one left out.
  sim::DisplaySetup unreadable = builtInDisplay();
  unreadable.screenNumberReadable = false;
  Desk other(unreadable);
  other.world.plugDisplay(kStudio);
  const auto displays = DisplayInfo::all(other.workspace, other.windowServer);
  ASSERT_EQ(displays.size(), 1u);
  EXPECT_FALSE(displays[0].isPrimary);
  EXPECT_EQ(displays[0].frame, kStudio.frame);
}

TEST(Displays, ARectangleBelongsToTheLargestOverlapThenTheNearestThenTheEarlier) {
  // Side by side, and a third below the first.
  const std::vector<DisplayInfo> displays{info("a", {0, 0, 1000, 800}),
                                          info("b", {1000, 0, 1000, 800}),
                                          info("c", {0, 800, 1000, 800})};
  struct Case {
    Rect rect;
    std::optional<std::string> id;
  } cases[] = {
      {{700, 100, 400, 300}, "a"},   // 300 wide on a, 100 on b
      {{900, 100, 400, 300}, "b"},   // 100 on a, 300 on b
      {{800, 100, 400, 300}, "a"},   // 200 on each, both hold the centre: the earlier
      {{990, 780, 50, 100}, "c"},    // 800 on b and c: the centre is 15 from c, 30 from b
      {{-500, 900, 200, 200}, "c"},  // off every display: c is nearest
      {{2100, -50, 100, 40}, "b"},   // off every display: b is nearest
      {Rect::null(), std::nullopt}, {Rect::infinite(), std::nullopt},
  };
  for (const Case& c : cases) {
    const auto found = displayContaining(c.rect, displays);
    EXPECT_EQ(found ? std::optional(found->id) : std::nullopt, c.id) << c.rect;
  }
  EXPECT_EQ(displayContaining({0, 0, 10, 10}, {}), std::nullopt);
}

}  // namespace
}  // namespace vistarail
