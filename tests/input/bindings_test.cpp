#include "input/bindings.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace vistarail {
namespace {

using Combos = std::vector<KeyCombo>;

TEST(DefaultBindings, EveryActionHasAShortcutAndNoneIsShared) {
  const Bindings defaults = defaultBindings();
  EXPECT_EQ(defaults.size(), kActionCount);
  std::unordered_set<KeyCombo> seen;
  size_t total = 0;
  for (const Action action : allActions()) {
    ASSERT_TRUE(defaults.contains(action)) << rawValue(action);
    EXPECT_FALSE(defaults.at(action).empty()) << rawValue(action);
    for (const KeyCombo& combo : defaults.at(action)) {
      seen.insert(combo);
      ++total;
    }
  }
  EXPECT_EQ(seen.size(), total);
  EXPECT_EQ(total, 41u);
  EXPECT_EQ(defaults.at(Action::focusLeft), (Combos{{123, 6144}, {4, 6144}}));
  EXPECT_EQ(defaults.at(Action::focusColumn5), (Combos{{23, 6144}}));
  EXPECT_EQ(defaults.at(Action::retile), (Combos{{17, 6656}}));
}

TEST(Bindings, AssigningMovesTheComboToTheEndOfTheTarget) {
  Bindings bindings = defaultBindings();
  assignCombo(bindings, {123, 6144}, Action::moveLeft);
  EXPECT_EQ(bindings.at(Action::focusLeft), (Combos{{4, 6144}}));
  EXPECT_EQ(bindings.at(Action::moveLeft), (Combos{{123, 6656}, {4, 6656}, {123, 6144}}));
  EXPECT_EQ(actionForCombo(bindings, {123, 6144}), Action::moveLeft);
}

TEST(Bindings, ReassigningToTheSameActionMovesItLastWithoutDuplicates) {
  Bindings bindings = {{Action::center, {{8, 6144}, {9, 6144}, {8, 6144}}}};
  assignCombo(bindings, {8, 6144}, Action::center);
  EXPECT_EQ(bindings.at(Action::center), (Combos{{9, 6144}, {8, 6144}}));
}

TEST(Bindings, AssigningCreatesAMissingEntry) {
  Bindings bindings;
  assignCombo(bindings, {96, 0}, Action::togglePause);
  EXPECT_EQ(bindings.at(Action::togglePause), (Combos{{96, 0}}));
}

TEST(Bindings, RemovingTouchesOnlyThatActionAndKeepsAnEmptyEntry) {
  Bindings bindings = {{Action::center, {{8, 6144}}}, {Action::widen, {{8, 6144}}}};
  removeCombo(bindings, {8, 6144}, Action::center);
  EXPECT_EQ(bindings.at(Action::center), Combos{});
  EXPECT_EQ(bindings.at(Action::widen), (Combos{{8, 6144}}));
  removeCombo(bindings, {8, 6144}, Action::narrow);  // no entry: nothing happens
  EXPECT_FALSE(bindings.contains(Action::narrow));
}

}  // namespace
}  // namespace vistarail
