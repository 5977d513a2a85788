// Loading the settings store: first runs, registered defaults, clamps and the
// fallbacks for stored values of the wrong kind.

#include <gtest/gtest.h>

#include <limits>

#include "app/app_settings.h"
#include "input/bindings_document.h"
#include "platform/sim/defaults/memory_defaults.h"

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

// Loads each stored value alone and checks what the setting reads; loading
// never rewrites the stored value (the one write is the first run's display).
template <class T>
void expectLoads(Setting<T> AppSettings::*setting,
                 const std::vector<std::pair<PropertyList, T>>& cases) {
  MemoryDefaults blank;
  const std::string key = (AppSettings(blank, std::nullopt).*setting).key();
  for (const auto& [stored, expected] : cases) {
    Loaded loaded(key, stored);
    EXPECT_EQ((loaded.settings.*setting).value(), expected)
        << key << " stored as " << stored.dump();
    EXPECT_EQ(loaded.defaults.storedObject(key).value_or(nullptr).dump(), stored.dump()) << key;
    EXPECT_EQ(loaded.defaults.writeCount(), 1u) << key << " stored as " << stored.dump();
  }
}

TEST(AppSettingsLoad, FirstLaunchWithADisplayManagesItAndWritesOnlyThat) {
  MemoryDefaults defaults;
  AppSettings settings(defaults, "37D8832A-2D66-02CA-B9F7-8F30A301B230");
  EXPECT_EQ(settings.managedDisplayIDs.value(), Strings{"37D8832A-2D66-02CA-B9F7-8F30A301B230"});
  EXPECT_EQ(defaults.storedValues(),
            PropertyList({{"managedDisplayIDs.v1", {"37D8832A-2D66-02CA-B9F7-8F30A301B230"}}}));
  EXPECT_EQ(defaults.writeCount(), 1u);
  EXPECT_EQ(settings.bindings.value(), defaultBindings());
  EXPECT_EQ(settings.widthPresets.value(), kDefaultPresets);
  EXPECT_EQ(settings.centerMode.value(), CenterMode::never);
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

TEST(AppSettingsLoad, RegistersEveryDefaultButTheDisplaysAndBindingsWithoutWritingThem) {
  MemoryDefaults defaults;
  AppSettings settings(defaults, std::nullopt);
  const Strings keys = settings.keys();
  ASSERT_EQ(keys.size(), AppSettings::kSettingCount);
  for (const std::string& key : keys) {
    const bool registered = key != "managedDisplayIDs.v1" && key != "bindings.v1";
    EXPECT_EQ(defaults.object(key).has_value(), registered) << key;
  }
  EXPECT_EQ(defaults.object("widthPresets"), PropertyList(kDefaultPresets));
  EXPECT_EQ(defaults.object("centerMode"), PropertyList("never"));
  EXPECT_EQ(defaults.storedValues(), PropertyList::object());
}

TEST(AppSettingsLoad, NumbersAndInfinitiesAreClampedAtTheirBoundsAndNaNDefaults) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  expectLoads(
      &AppSettings::animationSpeed,
      {{5.0, 3.0}, {0.2, 0.5}, {0.5, 0.5}, {3.0, 3.0}, {2.9, 2.9}, {-1e300, 0.5}, {inf, 3.0}});
  // Unreadable reads as 0, which the clamp then lifts.
  expectLoads(
      &AppSettings::dimAmount,
      {{0.9, 0.8}, {0.1, 0.1}, {0.05, 0.1}, {0.8, 0.8}, {nan, 0.35}, {inf, 0.8}, {"lots", 0.1}});
  expectLoads(&AppSettings::carouselCenterWidth, {{0.3, 0.5}, {1.0, 0.95}, {0.95, 0.95}});
  expectLoads(&AppSettings::carouselSideHeight, {{1.0, 0.9}, {0.39, 0.4}, {0.9, 0.9}, {-inf, 0.4}});
  // Gaps have no range of their own: the settings window bounds them.
  expectLoads(&AppSettings::innerGap, {{400.0, 400.0}, {nan, 8.0}, {"12.5", 12.5}});
  expectLoads(&AppSettings::outerGap, {{-3.0, -3.0}, {-inf, 8.0}, {PropertyList::object(), 0.0}});
}

TEST(AppSettingsLoad, ValuesOfTheWrongKindFollowThePlatformCoercions) {
  expectLoads(&AppSettings::enabled, {{"NO", false}});
  expectLoads(&AppSettings::dimInactive, {{1, true}});
  expectLoads(&AppSettings::invertSwipe, {{"YES", true}});
  expectLoads(&AppSettings::showMinimap, {{PropertyList::array(), false}});
  expectLoads(&AppSettings::swipeFingers,
              {{3, 3}, {"3", 3}, {2, 4}, {5, 4}, {-3, 4}, {"four", 4}});  // three or four
  expectLoads(&AppSettings::centerMode, {{"always", CenterMode::always},
                                         {"onOverflow", CenterMode::onOverflow},
                                         {"sometimes", CenterMode::never},
                                         {"Always", CenterMode::never},
                                         {2, CenterMode::never}});
}

TEST(AppSettingsLoad, ListsNeedEveryElementOfTheRightKind) {
  expectLoads(&AppSettings::widthPresets, {{PropertyList({0.5, "0.75"}), Fractions{0.5}},
                                           {PropertyList::array(), Fractions{}},
                                           {PropertyList({0.6, 0.2, 1}), Fractions{0.6, 0.2, 1.0}},
                                           {PropertyList({0.6, true}), Fractions{0.5}},
                                           {PropertyList({0.6, std::nan("")}), Fractions{0.5}},
                                           {0.4, Fractions{0.5}}});
  expectLoads(&AppSettings::floatingBundleIDs,
              {{PropertyList({"com.a", "com.b"}), {"com.a", "com.b"}},
               {PropertyList({"com.a", 2}), Strings{}},
               {"com.a", Strings{}}});
}

TEST(AppSettingsLoad, BindingsNotStoredAsDecodableDataGiveDefaultsUntilTheNextWrite) {
  EXPECT_EQ(Loaded("bindings.v1", R"({"focusLeft":[]})").settings.bindings.value(),
            defaultBindings());
  const std::string garbage = "{\"focusLeft\": [oops";
  const PropertyList stored = PropertyList::binary({garbage.begin(), garbage.end()});
  Loaded loaded("bindings.v1", stored);
  EXPECT_EQ(loaded.settings.bindings.value(), defaultBindings());
  EXPECT_EQ(loaded.defaults.storedObject("bindings.v1"), stored);

  loaded.settings.removeBinding({4, 6144}, Action::focusLeft);
  const auto decoded = decodeBindingsDocument(loaded.defaults.data("bindings.v1").value());
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->at(Action::focusLeft), (std::vector<KeyCombo>{{123, 6144}}));
}

}  // namespace
}  // namespace vistarail
