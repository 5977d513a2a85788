// Assigning settings and the store's editing operations: what is kept in
// memory, what is written, and what the next launch reads back.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/app_settings.h"
#include "platform/sim/defaults/memory_defaults.h"

namespace vistarail {
namespace {

using sim::MemoryDefaults;
using Strings = std::vector<std::string>;
using Fractions = std::vector<double>;
using Combos = std::vector<KeyCombo>;

const Fractions kDefaultPresets = {0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75};

// Calls f with the member pointer of every setting; returns how many it named.
template <class F>
size_t forEverySetting(F each) {
  using S = AppSettings;
  size_t count = 0;
  const auto f = [&](auto setting) {
    ++count;
    each(setting);
  };
  f(&S::enabled), f(&S::managedDisplayIDs), f(&S::animations), f(&S::animationSpeed),
      f(&S::innerGap), f(&S::outerGap), f(&S::widthPresets), f(&S::newWindowWidth),
      f(&S::centerMode), f(&S::swipeEnabled), f(&S::swipeFingers), f(&S::swipeSensitivity),
      f(&S::invertSwipe), f(&S::modifierScroll), f(&S::floatingBundleIDs), f(&S::bindings),
      f(&S::showMinimap), f(&S::showFocusBorder), f(&S::focusBorderWidth), f(&S::showEdgeArrows),
      f(&S::dimInactive), f(&S::dimAmount), f(&S::carouselMode), f(&S::carouselCenterWidth),
      f(&S::carouselSideHeight);
  return count;
}

class AppSettingsEdit : public ::testing::Test {
 protected:
  // What a later launch over the same domain sees.
  AppSettings relaunch() { return AppSettings(defaults, "display-1"); }

  MemoryDefaults defaults;
  AppSettings settings{defaults, "display-1"};
};

TEST_F(AppSettingsEdit, EveryAssignmentIsWrittenEvenWhenNothingChanges) {
  const size_t before = defaults.writeCount();
  settings.innerGap.set(8.0);
  settings.enabled.set(true);
  settings.centerMode.set(CenterMode::never);
  EXPECT_EQ(defaults.writeCount(), before + 3);
  EXPECT_EQ(defaults.storedObject("innerGap"), PropertyList(8.0));
  EXPECT_EQ(defaults.storedObject("centerMode"), PropertyList("never"));
}

TEST_F(AppSettingsEdit, EveryPropertySurvivesARelaunch) {
  // A domain holding a value other than the default for every setting.
  MemoryDefaults otherDomain(PropertyList::parse(
      R"({"enabled":false,"managedDisplayIDs.v1":["a","b"],"animations":false,)"
      R"("animationSpeed":2.5,"innerGap":12,"outerGap":0,"widthPresets":[0.4,0.6],)"
      R"("newWindowWidth":0,"centerMode":"onOverflow","swipeEnabled":false,"swipeFingers":3,)"
      R"("swipeSensitivity":3.5,"invertSwipe":true,"modifierScroll":false,)"
      R"("floatingBundleIDs":["com.apple.Preview"],"showMinimap":false,"showFocusBorder":false,)"
      R"("focusBorderWidth":5,"showEdgeArrows":false,"dimInactive":true,"dimAmount":0.6,)"
      R"("carouselMode":true,"carouselCenterWidth":0.85,"carouselSideHeight":0.5})"));
  AppSettings other(otherDomain, std::nullopt);
  other.addBinding({96, 0}, Action::retile);
  const size_t count =
      forEverySetting([&](auto setting) { (settings.*setting).set((other.*setting).value()); });
  EXPECT_EQ(count, AppSettings::kSettingCount);

  AppSettings again = relaunch();
  MemoryDefaults blank;
  AppSettings fresh(blank, "display-1");
  forEverySetting([&](auto setting) {
    const std::string& key = (settings.*setting).key();
    EXPECT_EQ((again.*setting).value(), (other.*setting).value()) << key;
    EXPECT_NE((again.*setting).value(), (fresh.*setting).value()) << key << " kept its default";
  });
}

TEST_F(AppSettingsEdit, AssignedValuesAreStoredUnclampedAndClampedOnlyAtTheNextLoad) {
  settings.animationSpeed.set(9.0);
  EXPECT_DOUBLE_EQ(settings.animationSpeed.value(), 9.0);
  EXPECT_EQ(defaults.storedObject("animationSpeed"), PropertyList(9.0));
  EXPECT_DOUBLE_EQ(relaunch().animationSpeed.value(), 3.0);
}

TEST_F(AppSettingsEdit, ManagingDisplaysAppendsOnceAndRemovesEveryOccurrence) {
  settings.setDisplayManaged("display-2", DisplayManagement::managed);
  EXPECT_EQ(settings.managedDisplayIDs.value(), (Strings{"display-1", "display-2"}));
  const size_t writes = defaults.writeCount();
  settings.setDisplayManaged("display-2", DisplayManagement::managed);
  EXPECT_EQ(defaults.writeCount(), writes);  // already there: nothing assigned

  settings.managedDisplayIDs.set({"x", "display-1", "y", "x"});
  settings.setDisplayManaged("x", DisplayManagement::unmanaged);
  EXPECT_EQ(settings.managedDisplayIDs.value(), (Strings{"display-1", "y"}));
  EXPECT_EQ(relaunch().managedDisplayIDs.value(), (Strings{"display-1", "y"}));
}

TEST_F(AppSettingsEdit, TogglingWithinAHalfPercentRemovesTheNearPresetOrInsertsInOrder) {
  EXPECT_TRUE(settings.hasWidthPreset(0.5049));
  EXPECT_FALSE(settings.hasWidthPreset(0.506));
  settings.toggleWidthPreset(0.3334);
  EXPECT_EQ(settings.widthPresets.value(), (Fractions{0.25, 0.5, 2.0 / 3, 0.75}));

  settings.widthPresets.set(kDefaultPresets);
  settings.toggleWidthPreset(0.9);
  EXPECT_EQ(settings.widthPresets.value(), (Fractions{0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75, 0.9}));
  settings.toggleWidthPreset(0.1);
  EXPECT_EQ(settings.widthPresets.value().front(), 0.1);
  EXPECT_EQ(relaunch().widthPresets.value(), settings.widthPresets.value());
}

TEST_F(AppSettingsEdit, TogglingNeverAddsANonNumberOrRemovesTheLastPreset) {
  const size_t writes = defaults.writeCount();
  settings.toggleWidthPreset(std::nan(""));
  settings.toggleWidthPreset(std::numeric_limits<double>::infinity());
  EXPECT_EQ(settings.widthPresets.value(), kDefaultPresets);
  settings.widthPresets.set({0.5});
  settings.toggleWidthPreset(0.5);
  EXPECT_EQ(settings.widthPresets.value(), Fractions{0.5});
  EXPECT_EQ(defaults.writeCount(), writes + 1);  // the assignment alone
  settings.toggleWidthPreset(0.7);
  settings.toggleWidthPreset(0.5);
  EXPECT_EQ(settings.widthPresets.value(), Fractions{0.7});
}

TEST_F(AppSettingsEdit, AddingAComboMovesItFromItsOldAction) {
  settings.addBinding({0, 6144}, Action::togglePause);  // ⌃⌥A, unbound so far
  settings.addBinding({4, 6144}, Action::togglePause);  // ⌃⌥H, focusLeft's
  const Bindings& now = settings.bindings.value();
  EXPECT_EQ(now.at(Action::focusLeft), (Combos{{123, 6144}}));
  EXPECT_EQ(now.at(Action::togglePause), (Combos{{35, 6144}, {0, 6144}, {4, 6144}}));
  EXPECT_EQ(relaunch().bindings.value(), now);
}

TEST_F(AppSettingsEdit, RemovingTheLastShortcutLastsAcrossRelaunches) {
  settings.removeBinding({8, 6144}, Action::center);
  EXPECT_EQ(settings.bindings.value().at(Action::center), Combos{});
  EXPECT_EQ(relaunch().bindings.value().at(Action::center), Combos{});
}

}  // namespace
}  // namespace vistarail
