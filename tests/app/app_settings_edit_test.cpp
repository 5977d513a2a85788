// Assigning settings and the store's editing operations: what is kept in
// memory, what is written, and what the next launch reads back.

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
using Combos = std::vector<KeyCombo>;

const Fractions kDefaultPresets = {0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75};

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
  EXPECT_EQ(defaults.storedObject("enabled"), PropertyList(true));
  EXPECT_EQ(defaults.storedObject("centerMode"), PropertyList("never"));
}

TEST_F(AppSettingsEdit, EveryPropertySurvivesARelaunch) {
  settings.enabled.set(false);
  settings.managedDisplayIDs.set({"a", "b"});
  settings.animations.set(false);
  settings.animationSpeed.set(2.5);
  settings.innerGap.set(12);
  settings.outerGap.set(0);
  settings.widthPresets.set({0.4, 0.6});
  settings.newWindowWidth.set(0);
  settings.centerMode.set(CenterMode::onOverflow);
  settings.swipeEnabled.set(false);
  settings.swipeFingers.set(3);
  settings.swipeSensitivity.set(3.5);
  settings.invertSwipe.set(true);
  settings.modifierScroll.set(false);
  settings.floatingBundleIDs.set({"com.apple.Preview"});
  settings.addBinding({96, 0}, Action::retile);
  settings.showMinimap.set(false);
  settings.showFocusBorder.set(false);
  settings.focusBorderWidth.set(5);
  settings.showEdgeArrows.set(false);
  settings.dimInactive.set(true);
  settings.dimAmount.set(0.6);
  settings.carouselMode.set(true);
  settings.carouselCenterWidth.set(0.85);
  settings.carouselSideHeight.set(0.5);

  AppSettings again = relaunch();
  EXPECT_FALSE(again.enabled.value());
  EXPECT_EQ(again.managedDisplayIDs.value(), (Strings{"a", "b"}));
  EXPECT_FALSE(again.animations.value());
  EXPECT_DOUBLE_EQ(again.animationSpeed.value(), 2.5);
  EXPECT_DOUBLE_EQ(again.innerGap.value(), 12);
  EXPECT_DOUBLE_EQ(again.outerGap.value(), 0);
  EXPECT_EQ(again.widthPresets.value(), (Fractions{0.4, 0.6}));
  EXPECT_DOUBLE_EQ(again.newWindowWidth.value(), 0);
  EXPECT_EQ(again.centerMode.value(), CenterMode::onOverflow);
  EXPECT_FALSE(again.swipeEnabled.value());
  EXPECT_EQ(again.swipeFingers.value(), 3);
  EXPECT_DOUBLE_EQ(again.swipeSensitivity.value(), 3.5);
  EXPECT_TRUE(again.invertSwipe.value());
  EXPECT_FALSE(again.modifierScroll.value());
  EXPECT_EQ(again.floatingBundleIDs.value(), Strings{"com.apple.Preview"});
  EXPECT_EQ(again.bindings.value(), settings.bindings.value());
  EXPECT_EQ(again.bindings.value().at(Action::retile), (Combos{{17, 6656}, {96, 0}}));
  EXPECT_FALSE(again.showMinimap.value());
  EXPECT_FALSE(again.showFocusBorder.value());
  EXPECT_DOUBLE_EQ(again.focusBorderWidth.value(), 5);
  EXPECT_FALSE(again.showEdgeArrows.value());
  EXPECT_TRUE(again.dimInactive.value());
  EXPECT_DOUBLE_EQ(again.dimAmount.value(), 0.6);
  EXPECT_TRUE(again.carouselMode.value());
  EXPECT_DOUBLE_EQ(again.carouselCenterWidth.value(), 0.85);
  EXPECT_DOUBLE_EQ(again.carouselSideHeight.value(), 0.5);
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

TEST_F(AppSettingsEdit, WidthPresetMatchingUsesAHalfPercentTolerance) {
  EXPECT_TRUE(settings.hasWidthPreset(0.3334));
  EXPECT_TRUE(settings.hasWidthPreset(0.5049));
  EXPECT_FALSE(settings.hasWidthPreset(0.506));
  EXPECT_FALSE(settings.hasWidthPreset(0.4));
}

TEST_F(AppSettingsEdit, TogglingRemovesTheNearPresetOrInsertsInOrder) {
  settings.toggleWidthPreset(0.3334);
  EXPECT_EQ(settings.widthPresets.value(), (Fractions{0.25, 0.5, 2.0 / 3, 0.75}));

  settings.widthPresets.set(kDefaultPresets);
  settings.toggleWidthPreset(0.9);
  EXPECT_EQ(settings.widthPresets.value(), (Fractions{0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75, 0.9}));
  settings.toggleWidthPreset(0.1);
  EXPECT_EQ(settings.widthPresets.value().front(), 0.1);
  EXPECT_EQ(relaunch().widthPresets.value(), settings.widthPresets.value());
}

TEST_F(AppSettingsEdit, TheLastPresetIsKept) {
  settings.widthPresets.set({0.5});
  const size_t writes = defaults.writeCount();
  settings.toggleWidthPreset(0.5);
  EXPECT_EQ(settings.widthPresets.value(), Fractions{0.5});
  EXPECT_EQ(defaults.writeCount(), writes);
  settings.toggleWidthPreset(0.7);
  settings.toggleWidthPreset(0.5);
  EXPECT_EQ(settings.widthPresets.value(), Fractions{0.7});
}

TEST_F(AppSettingsEdit, AWidthThatIsNoNumberChangesNothing) {
  const size_t writes = defaults.writeCount();
  settings.toggleWidthPreset(std::nan(""));
  settings.toggleWidthPreset(std::numeric_limits<double>::infinity());
  EXPECT_EQ(settings.widthPresets.value(), kDefaultPresets);
  EXPECT_EQ(defaults.writeCount(), writes);
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
  const auto stored = defaults.data("bindings.v1");
  ASSERT_TRUE(stored);
  const std::string text(stored->begin(), stored->end());
  EXPECT_NE(text.find(R"("center":[])"), std::string::npos);
  EXPECT_EQ(relaunch().bindings.value().at(Action::center), Combos{});
}

TEST_F(AppSettingsEdit, RestoringDefaultsIsAnOrdinaryAssignment) {
  settings.removeBinding({8, 6144}, Action::center);
  settings.bindings.set(defaultBindings());
  EXPECT_EQ(settings.bindings.value(), defaultBindings());
  EXPECT_EQ(bindingsFromStoredData(defaults.data("bindings.v1")), defaultBindings());
}

TEST_F(AppSettingsEdit, UnknownActionsInTheStoredDocumentAreDroppedAtTheNextSave) {
  const std::string document =
      R"({"zoomIn":[{"keyCode":6,"modifiers":6144}],"center":[{"keyCode":8,"modifiers":6144}]})";
  defaults.setData("bindings.v1", {document.begin(), document.end()});
  AppSettings again = relaunch();
  EXPECT_EQ(again.bindings.value(), defaultBindings());
  again.addBinding({96, 0}, Action::center);
  const auto stored = defaults.data("bindings.v1");
  ASSERT_TRUE(stored);
  EXPECT_EQ(std::string(stored->begin(), stored->end()).find("zoomIn"), std::string::npos);
}

}  // namespace
}  // namespace vistarail
