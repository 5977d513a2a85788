// Loading the settings store: first runs, registered defaults, clamps and the
// fallbacks for stored values of the wrong kind.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/app_settings.h"
#include "input/bindings_document.h"
#include "platform/sim/memory_defaults.h"

namespace vistarail {
namespace {

using sim::MemoryDefaults;
using Strings = std::vector<std::string>;
using Fractions = std::vector<double>;

const Fractions kDefaultPresets = {0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75};

// A store loaded over a domain holding just `key` = `value`.
struct Loaded {
  explicit Loaded(const std::string& key, const PropertyList& value)
      : defaults(PropertyList{{key, value}}), settings(defaults, "display-1") {}
  MemoryDefaults defaults;
  AppSettings settings;
};

TEST(AppSettingsLoad, FirstLaunchWithADisplayManagesItAndWritesOnlyThat) {
  MemoryDefaults defaults;
  AppSettings settings(defaults, "37D8832A-2D66-02CA-B9F7-8F30A301B230");
  EXPECT_EQ(settings.managedDisplayIDs.value(), Strings{"37D8832A-2D66-02CA-B9F7-8F30A301B230"});
  EXPECT_EQ(defaults.storedValues(),
            PropertyList({{"managedDisplayIDs.v1", {"37D8832A-2D66-02CA-B9F7-8F30A301B230"}}}));
  EXPECT_EQ(defaults.writeCount(), 1u);

  EXPECT_TRUE(settings.enabled.value());
  EXPECT_TRUE(settings.animations.value());
  EXPECT_DOUBLE_EQ(settings.animationSpeed.value(), 1.8);
  EXPECT_DOUBLE_EQ(settings.innerGap.value(), 8.0);
  EXPECT_DOUBLE_EQ(settings.outerGap.value(), 8.0);
  EXPECT_EQ(settings.widthPresets.value(), kDefaultPresets);
  EXPECT_DOUBLE_EQ(settings.newWindowWidth.value(), 0.5);
  EXPECT_EQ(settings.centerMode.value(), CenterMode::never);
  EXPECT_TRUE(settings.swipeEnabled.value());
  EXPECT_EQ(settings.swipeFingers.value(), 4);
  EXPECT_DOUBLE_EQ(settings.swipeSensitivity.value(), 1.6);
  EXPECT_FALSE(settings.invertSwipe.value());
  EXPECT_TRUE(settings.modifierScroll.value());
  EXPECT_EQ(
      settings.floatingBundleIDs.value(),
      (Strings{"com.apple.systempreferences", "com.apple.calculator", "com.apple.Passwords"}));
  EXPECT_EQ(settings.bindings.value(), defaultBindings());
  EXPECT_TRUE(settings.showMinimap.value());
  EXPECT_TRUE(settings.showFocusBorder.value());
  EXPECT_DOUBLE_EQ(settings.focusBorderWidth.value(), 3.0);
  EXPECT_TRUE(settings.showEdgeArrows.value());
  EXPECT_FALSE(settings.dimInactive.value());
  EXPECT_DOUBLE_EQ(settings.dimAmount.value(), 0.35);
  EXPECT_FALSE(settings.carouselMode.value());
  EXPECT_DOUBLE_EQ(settings.carouselCenterWidth.value(), 0.75);
  EXPECT_DOUBLE_EQ(settings.carouselSideHeight.value(), 0.7);
}

TEST(AppSettingsLoad, FirstLaunchWithoutADisplayLeavesTheChoiceOpen) {
  MemoryDefaults defaults;
  AppSettings settings(defaults, std::nullopt);
  EXPECT_EQ(settings.managedDisplayIDs.value(), Strings{});
  EXPECT_EQ(defaults.writeCount(), 0u);
  EXPECT_FALSE(defaults.object("managedDisplayIDs.v1"));

  settings.adoptInitialDisplay(std::nullopt);
  EXPECT_EQ(defaults.writeCount(), 0u);
  settings.adoptInitialDisplay("display-2");
  EXPECT_EQ(settings.managedDisplayIDs.value(), Strings{"display-2"});
  EXPECT_EQ(defaults.storedObject("managedDisplayIDs.v1"), PropertyList({"display-2"}));
  settings.adoptInitialDisplay("display-3");  // the first one found stays the choice
  EXPECT_EQ(settings.managedDisplayIDs.value(), Strings{"display-2"});
}

TEST(AppSettingsLoad, AStoredChoiceOfNoDisplayIsNeverOverridden) {
  MemoryDefaults defaults(PropertyList{{"managedDisplayIDs.v1", PropertyList::array()}});
  AppSettings settings(defaults, "display-1");
  EXPECT_EQ(settings.managedDisplayIDs.value(), Strings{});
  settings.adoptInitialDisplay("display-1");
  EXPECT_EQ(settings.managedDisplayIDs.value(), Strings{});
  EXPECT_EQ(defaults.writeCount(), 0u);
}

TEST(AppSettingsLoad, DamagedDisplayListManagesTheFirstDisplayButKeepsTheStoredValue) {
  Loaded loaded("managedDisplayIDs.v1", PropertyList{"display-9", 4});
  EXPECT_EQ(loaded.settings.managedDisplayIDs.value(), Strings{"display-1"});
  EXPECT_EQ(loaded.defaults.writeCount(), 0u);
  EXPECT_EQ(loaded.defaults.storedObject("managedDisplayIDs.v1"), PropertyList({"display-9", 4}));
}

TEST(AppSettingsLoad, RegistersTwentyThreeDefaultsWithoutWritingThem) {
  MemoryDefaults defaults;
  AppSettings settings(defaults, std::nullopt);
  const Strings keys = settings.keys();
  ASSERT_EQ(keys.size(), AppSettings::kSettingCount);
  EXPECT_EQ(keys.front(), "enabled");
  EXPECT_EQ(keys[1], "managedDisplayIDs.v1");
  EXPECT_EQ(keys[15], "bindings.v1");
  EXPECT_EQ(keys.back(), "carouselSideHeight");
  int registered = 0;
  for (const std::string& key : keys) registered += defaults.object(key).has_value() ? 1 : 0;
  EXPECT_EQ(registered, 23);
  EXPECT_FALSE(defaults.object("bindings.v1"));
  EXPECT_EQ(defaults.object("centerMode"), PropertyList("never"));
  EXPECT_EQ(defaults.object("swipeFingers"), PropertyList(4));
  EXPECT_EQ(defaults.object("widthPresets"), PropertyList(kDefaultPresets));
  EXPECT_EQ(defaults.object("dimAmount"), PropertyList(0.35));
  EXPECT_EQ(defaults.storedValues(), PropertyList::object());
}

struct ClampCase {
  const char* key;
  Setting<double> AppSettings::*setting;
  double stored;
  double loaded;
};

TEST(AppSettingsLoad, ClampsApplyAtAndBeyondTheirBoundsWithoutRewriting) {
  const ClampCase cases[] = {
      {"animationSpeed", &AppSettings::animationSpeed, 5.0, 3.0},
      {"animationSpeed", &AppSettings::animationSpeed, 0.2, 0.5},
      {"animationSpeed", &AppSettings::animationSpeed, 0.5, 0.5},
      {"animationSpeed", &AppSettings::animationSpeed, 3.0, 3.0},
      {"animationSpeed", &AppSettings::animationSpeed, 2.9, 2.9},
      {"animationSpeed", &AppSettings::animationSpeed, -1e300, 0.5},
      {"dimAmount", &AppSettings::dimAmount, 0.9, 0.8},
      {"dimAmount", &AppSettings::dimAmount, 0.1, 0.1},
      {"dimAmount", &AppSettings::dimAmount, 0.05, 0.1},
      {"dimAmount", &AppSettings::dimAmount, 0.8, 0.8},
      {"carouselCenterWidth", &AppSettings::carouselCenterWidth, 0.3, 0.5},
      {"carouselCenterWidth", &AppSettings::carouselCenterWidth, 1.0, 0.95},
      {"carouselCenterWidth", &AppSettings::carouselCenterWidth, 0.95, 0.95},
      {"carouselSideHeight", &AppSettings::carouselSideHeight, 1.0, 0.9},
      {"carouselSideHeight", &AppSettings::carouselSideHeight, 0.39, 0.4},
      {"carouselSideHeight", &AppSettings::carouselSideHeight, 0.9, 0.9},
      // Gaps have no range of their own: the settings window bounds them.
      {"innerGap", &AppSettings::innerGap, 400.0, 400.0},
      {"outerGap", &AppSettings::outerGap, -3.0, -3.0},
  };
  for (const ClampCase& c : cases) {
    Loaded loaded(c.key, c.stored);
    EXPECT_DOUBLE_EQ((loaded.settings.*c.setting).value(), c.loaded)
        << c.key << " stored " << c.stored;
    EXPECT_EQ(loaded.defaults.storedObject(c.key), PropertyList(c.stored));
    EXPECT_EQ(loaded.defaults.writeCount(), 1u);  // the first run's display choice alone
  }
}

TEST(AppSettingsLoad, NumbersThatAreNotFiniteGiveTheDefault) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_DOUBLE_EQ(Loaded("innerGap", nan).settings.innerGap.value(), 8.0);
  EXPECT_DOUBLE_EQ(Loaded("outerGap", -inf).settings.outerGap.value(), 8.0);
  EXPECT_DOUBLE_EQ(Loaded("animationSpeed", inf).settings.animationSpeed.value(), 1.8);
  EXPECT_DOUBLE_EQ(Loaded("dimAmount", nan).settings.dimAmount.value(), 0.35);
}

TEST(AppSettingsLoad, ValuesOfTheWrongKindFollowThePlatformCoercions) {
  EXPECT_FALSE(Loaded("enabled", "NO").settings.enabled.value());
  EXPECT_TRUE(Loaded("invertSwipe", "YES").settings.invertSwipe.value());
  EXPECT_FALSE(Loaded("showMinimap", PropertyList::array()).settings.showMinimap.value());
  EXPECT_TRUE(Loaded("dimInactive", 1).settings.dimInactive.value());
  EXPECT_DOUBLE_EQ(Loaded("innerGap", "12.5").settings.innerGap.value(), 12.5);
  EXPECT_DOUBLE_EQ(Loaded("outerGap", PropertyList::object()).settings.outerGap.value(), 0.0);
  // Unreadable reads as 0, which the clamp then lifts.
  EXPECT_DOUBLE_EQ(Loaded("dimAmount", "lots").settings.dimAmount.value(), 0.1);
}

TEST(AppSettingsLoad, SwipeFingersAreThreeOrFour) {
  EXPECT_EQ(Loaded("swipeFingers", 3).settings.swipeFingers.value(), 3);
  EXPECT_EQ(Loaded("swipeFingers", "3").settings.swipeFingers.value(), 3);
  EXPECT_EQ(Loaded("swipeFingers", 2).settings.swipeFingers.value(), 4);
  EXPECT_EQ(Loaded("swipeFingers", 5).settings.swipeFingers.value(), 4);
  EXPECT_EQ(Loaded("swipeFingers", -3).settings.swipeFingers.value(), 4);
  EXPECT_EQ(Loaded("swipeFingers", "four").settings.swipeFingers.value(), 4);
}

TEST(AppSettingsLoad, UnknownCenterModeIsNever) {
  EXPECT_EQ(Loaded("centerMode", "always").settings.centerMode.value(), CenterMode::always);
  EXPECT_EQ(Loaded("centerMode", "onOverflow").settings.centerMode.value(), CenterMode::onOverflow);
  EXPECT_EQ(Loaded("centerMode", "sometimes").settings.centerMode.value(), CenterMode::never);
  EXPECT_EQ(Loaded("centerMode", "Always").settings.centerMode.value(), CenterMode::never);
  EXPECT_EQ(Loaded("centerMode", 2).settings.centerMode.value(), CenterMode::never);
}

TEST(AppSettingsLoad, WidthPresetsNeedEveryElementToBeANumber) {
  EXPECT_EQ(Loaded("widthPresets", PropertyList({0.5, "0.75"})).settings.widthPresets.value(),
            Fractions{0.5});
  EXPECT_EQ(Loaded("widthPresets", PropertyList::array()).settings.widthPresets.value(),
            Fractions{});
  EXPECT_EQ(Loaded("widthPresets", PropertyList({0.6, 0.2, 1})).settings.widthPresets.value(),
            (Fractions{0.6, 0.2, 1.0}));
  EXPECT_EQ(Loaded("widthPresets", PropertyList({0.6, true})).settings.widthPresets.value(),
            Fractions{0.5});
  EXPECT_EQ(Loaded("widthPresets", PropertyList({0.6, std::nan("")})).settings.widthPresets.value(),
            Fractions{0.5});
  EXPECT_EQ(Loaded("widthPresets", 0.4).settings.widthPresets.value(), Fractions{0.5});
}

TEST(AppSettingsLoad, FloatingAppsNeedAnArrayOfStrings) {
  EXPECT_EQ(Loaded("floatingBundleIDs", PropertyList({"com.a", "com.b"}))
                .settings.floatingBundleIDs.value(),
            (Strings{"com.a", "com.b"}));
  EXPECT_EQ(
      Loaded("floatingBundleIDs", PropertyList({"com.a", 2})).settings.floatingBundleIDs.value(),
      Strings{});
  EXPECT_EQ(Loaded("floatingBundleIDs", "com.a").settings.floatingBundleIDs.value(), Strings{});
}

TEST(AppSettingsLoad, UndecodableBindingsGiveDefaultsAndStayStoredUntilTheNextWrite) {
  const std::string garbage = "{\"focusLeft\": [oops";
  const PropertyList stored = PropertyList::binary({garbage.begin(), garbage.end()});
  Loaded loaded("bindings.v1", stored);
  EXPECT_EQ(loaded.settings.bindings.value(), defaultBindings());
  EXPECT_EQ(loaded.defaults.storedObject("bindings.v1"), stored);

  loaded.settings.removeBinding({4, 6144}, Action::focusLeft);
  const auto data = loaded.defaults.data("bindings.v1");
  ASSERT_TRUE(data);
  const auto decoded = decodeBindingsDocument(*data);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->at(Action::focusLeft), (std::vector<KeyCombo>{{123, 6144}}));
}

TEST(AppSettingsLoad, BindingsStoredAsTextInsteadOfDataGiveDefaults) {
  Loaded loaded("bindings.v1", R"({"focusLeft":[]})");
  EXPECT_EQ(loaded.settings.bindings.value(), defaultBindings());
}

}  // namespace
}  // namespace vistarail
