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

TEST(Spaces, EveryDisplayGetsItsCurrentSpaceWhateverShapeTheAnswerHas) {
  using enum sim::SpacesShape;
  using enum sim::DisplayIdentifierStyle;
  using enum sim::SpaceIdKeys;
  Desk desk;
  const DisplayNumber studio = desk.world.plugDisplay(kStudio);
  desk.world.switchSpace(studio, desk.world.addSpace(studio));
  const auto displays = DisplayInfo::all(desk.workspace, desk.windowServer);
  const SpaceInfo b{desk.world.display(desk.builtIn)->currentSpace, false};
  const SpaceInfo s{desk.world.display(studio)->currentSpace, false};
  const SpaceInfo unknown{};
  struct Case {
    const char* name;
    sim::WindowServerConfig config;
    SpaceInfo builtIn, studio;
  } cases[] = {
      {"UUIDs", {}, b, s},
      {"Main for the primary", {.identifiers = mainForPrimary}, b, s},
      {"one element", {.shape = onlyPrimary}, b, b},
      {"one unrecognised element", {.shape = onlyPrimary, .identifiers = unrecognised}, b, b},
      {"unrecognised", {.identifiers = unrecognised}, unknown, unknown},
      {"not an array", {.shape = notAnArray}, unknown, unknown},
      {"nothing", {.shape = nothing}, unknown, unknown},
      {"no connection", {.connectionAvailable = false}, unknown, unknown},
      {"no Spaces function", {.spacesAvailable = false}, unknown, unknown},
      {"id64 only", {.spaceIdKeys = id64Only}, b, s},
      {"ManagedSpaceID only", {.spaceIdKeys = managedSpaceIdOnly}, b, s},
  };
  for (const Case& c : cases) {
    desk.world.setWindowServerConfig(c.config);
    EXPECT_EQ(currentSpaces(desk.windowServer, displays),
              (SpaceMap{{displays[0].id, c.builtIn}, {displays[1].id, c.studio}}))
        << c.name;
  }

  // Every Space a display has, for pruning stored layouts: only when each one
  // can be read.
  desk.world.setWindowServerConfig({});
  auto spacesOf = [&](DisplayNumber d) {
    std::vector<SpaceId64> ids;
    const auto display = desk.world.display(d);
    for (const auto& space : display->spaces) ids.push_back(space.id);
    return ids;
  };
  ASSERT_EQ(spacesOf(studio).size(), 2u);
  EXPECT_EQ(
      listedSpaces(desk.windowServer, displays),
      (SpaceLists{{displays[0].id, spacesOf(desk.builtIn)}, {displays[1].id, spacesOf(studio)}}));
  for (const sim::WindowServerConfig& config :
       {sim::WindowServerConfig{.spaceIdKeys = none}, sim::WindowServerConfig{.shape = nothing},
        sim::WindowServerConfig{.identifiers = unrecognised}}) {
    desk.world.setWindowServerConfig(config);
    EXPECT_TRUE(listedSpaces(desk.windowServer, displays).empty());
  }

  desk.world.setWindowServerConfig({});
  desk.world.enterFullScreen(desk.openKey({.frame = {-2000, 0, 800, 600}}));
  const SpaceId64 fullScreen = desk.world.display(studio)->currentSpace;
  EXPECT_EQ(currentSpaces(desk.windowServer, displays).at(displays[1].id),
            (SpaceInfo{fullScreen, true}));
  desk.world.setWindowServerConfig({.spaceIdKeys = none});
  EXPECT_EQ(currentSpaces(desk.windowServer, displays).at(displays[1].id), (SpaceInfo{0, true}));

  // Two displays under one id: the first one's answer stands, though only the
  // second, as the primary display, would be given the "Main" dictionary.
  desk.world.setWindowServerConfig({.identifiers = mainForPrimary});
  std::vector<DisplayInfo> twins{info("twin", kStudio.frame), info("twin", test::kBuiltIn)};
  twins[1].isPrimary = true;
  EXPECT_EQ(currentSpaces(desk.windowServer, twins), (SpaceMap{{"twin", unknown}}));
}

}  // namespace
}  // namespace vistarail
