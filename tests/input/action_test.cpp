#include "input/action.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vistarail {
namespace {

TEST(Action, RawValuesInShortcutsTabOrderRoundTripAndUnknownNamesGiveNothing) {
  std::string names;
  for (const Action action : allActions()) {
    EXPECT_EQ(actionFromRaw(rawValue(action)), action);
    names += std::string(rawValue(action)) + " ";
  }
  EXPECT_EQ(names,
            "focusLeft focusRight focusUp focusDown focusFirst focusLast focusColumn1 focusColumn2 "
            "focusColumn3 focusColumn4 focusColumn5 focusColumn6 focusColumn7 focusColumn8 "
            "focusColumn9 moveLeft moveRight moveUp moveDown moveToFirst moveToLast cycleWidth "
            "cycleWidthBack fullWidth center widen narrow stackIntoLeft popOut toggleFloat retile "
            "togglePause toggleCarousel ");
  for (const char* unknown : {"focusColumn10", "FocusLeft", ""}) {
    EXPECT_EQ(actionFromRaw(unknown), std::nullopt) << unknown;
  }
}

TEST(Action, TitlesAreDistinctAndOnlyFocusColumnsHaveNumbers) {
  EXPECT_EQ(title(Action::focusUp), "Focus window above (in stack)");
  EXPECT_EQ(title(Action::focusColumn9), "Focus window 9");
  std::set<std::string> titles;
  for (const Action action : allActions()) {
    EXPECT_FALSE(title(action).empty()) << rawValue(action);
    titles.insert(title(action));
    const std::string raw(rawValue(action));
    const bool column = raw.starts_with("focusColumn");
    EXPECT_EQ(columnNumber(action), column ? std::optional(raw.back() - '0') : std::nullopt) << raw;
  }
  EXPECT_EQ(titles.size(), kActionCount);
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
}

}  // namespace
}  // namespace vistarail
