#include "input/action.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vistarail {
namespace {

TEST(Action, RawValuesRoundTripAndUnknownNamesGiveNothing) {
  std::set<std::string_view> names;
  for (const Action action : allActions()) {
    EXPECT_EQ(actionFromRaw(rawValue(action)), action);
    names.insert(rawValue(action));
  }
  EXPECT_EQ(names.size(), 33u);
  EXPECT_EQ(rawValue(Action::focusColumn5), "focusColumn5");
  EXPECT_EQ(rawValue(Action::toggleCarousel), "toggleCarousel");
  EXPECT_EQ(actionFromRaw("focusColumn10"), std::nullopt);
  EXPECT_EQ(actionFromRaw("FocusLeft"), std::nullopt);
  EXPECT_EQ(actionFromRaw(""), std::nullopt);
}

TEST(Action, DeclarationOrderIsTheShortcutsTabOrder) {
  const auto all = allActions();
  EXPECT_EQ(all.front(), Action::focusLeft);
  EXPECT_EQ(all[6], Action::focusColumn1);
  EXPECT_EQ(all[15], Action::moveLeft);
  EXPECT_EQ(all[21], Action::cycleWidth);
  EXPECT_EQ(all[29], Action::toggleFloat);
  EXPECT_EQ(all.back(), Action::toggleCarousel);
}

TEST(Action, TitlesAndColumnNumbers) {
  EXPECT_EQ(title(Action::focusUp), "Focus window above (in stack)");
  EXPECT_EQ(title(Action::moveToLast), "Move window to end");
  EXPECT_EQ(title(Action::cycleWidthBack), "Cycle preset widths backwards");
  EXPECT_EQ(title(Action::toggleFloat), "Float / tile focused window");
  EXPECT_EQ(title(Action::togglePause), "Pause / resume Vistarail");
  EXPECT_EQ(title(Action::focusColumn1), "Focus window 1");
  EXPECT_EQ(title(Action::focusColumn9), "Focus window 9");
  for (int n = 1; n <= 9; ++n) {
    const auto action = actionFromRaw("focusColumn" + std::to_string(n));
    ASSERT_TRUE(action);
    EXPECT_EQ(columnNumber(*action), n);
  }
  EXPECT_EQ(columnNumber(Action::focusLast), std::nullopt);
  EXPECT_EQ(columnNumber(Action::moveLeft), std::nullopt);
  for (const Action action : allActions()) EXPECT_FALSE(title(action).empty());
}

TEST(ActionGroup, GroupsPartitionTheActionsInOrder) {
  const std::vector<std::pair<std::string_view, size_t>> expected = {
      {"Navigation", 15}, {"Moving", 6}, {"Sizing", 6}, {"Stacks", 2}, {"Other", 4}};
  ASSERT_EQ(kAllActionGroups.size(), expected.size());
  std::vector<Action> concatenated;
  for (size_t i = 0; i < kAllActionGroups.size(); ++i) {
    const ActionGroup g = kAllActionGroups[i];
    EXPECT_EQ(rawValue(g), expected[i].first);
    EXPECT_EQ(actions(g).size(), expected[i].second) << rawValue(g);
    for (const Action action : actions(g)) {
      EXPECT_EQ(group(action), g);
      concatenated.push_back(action);
    }
  }
  const auto all = allActions();
  EXPECT_EQ(concatenated, std::vector<Action>(all.begin(), all.end()));
  EXPECT_EQ(actions(ActionGroup::stacks).front(), Action::stackIntoLeft);
  EXPECT_EQ(group(Action::center), ActionGroup::sizing);
}

}  // namespace
}  // namespace vistarail
