#include "input/action.h"

#include <algorithm>

namespace vistarail {

namespace {

struct ActionInfo {
  Action action;
  std::string_view raw;
  // Empty for the focusColumn cases, whose title is built from the column number.
  std::string_view title;
  ActionGroup group;
};

using enum Action;
using G = ActionGroup;

// Grouped actions are contiguous, so each group is a slice of this table.
constexpr std::array<ActionInfo, kActionCount> kActions = {{
    {focusLeft, "focusLeft", "Focus window on the left", G::navigation},
    {focusRight, "focusRight", "Focus window on the right", G::navigation},
    {focusUp, "focusUp", "Focus window above (in stack)", G::navigation},
    {focusDown, "focusDown", "Focus window below (in stack)", G::navigation},
    {focusFirst, "focusFirst", "Focus first window", G::navigation},
    {focusLast, "focusLast", "Focus last window", G::navigation},
    {focusColumn1, "focusColumn1", "", G::navigation},
    {focusColumn2, "focusColumn2", "", G::navigation},
    {focusColumn3, "focusColumn3", "", G::navigation},
    {focusColumn4, "focusColumn4", "", G::navigation},
    {focusColumn5, "focusColumn5", "", G::navigation},
    {focusColumn6, "focusColumn6", "", G::navigation},
    {focusColumn7, "focusColumn7", "", G::navigation},
    {focusColumn8, "focusColumn8", "", G::navigation},
    {focusColumn9, "focusColumn9", "", G::navigation},
    {moveLeft, "moveLeft", "Move window left", G::moving},
    {moveRight, "moveRight", "Move window right", G::moving},
    {moveUp, "moveUp", "Move window up (in stack)", G::moving},
    {moveDown, "moveDown", "Move window down (in stack)", G::moving},
    {moveToFirst, "moveToFirst", "Move window to start", G::moving},
    {moveToLast, "moveToLast", "Move window to end", G::moving},
    {cycleWidth, "cycleWidth", "Cycle preset widths", G::sizing},
    {cycleWidthBack, "cycleWidthBack", "Cycle preset widths backwards", G::sizing},
    {fullWidth, "fullWidth", "Toggle full width", G::sizing},
    {center, "center", "Center focused window", G::sizing},
    {widen, "widen", "Make wider", G::sizing},
    {narrow, "narrow", "Make narrower", G::sizing},
    {stackIntoLeft, "stackIntoLeft", "Stack into left column", G::stacks},
    {popOut, "popOut", "Pop out of stack", G::stacks},
    {toggleFloat, "toggleFloat", "Float / tile focused window", G::other},
    {retile, "retile", "Re-tile everything", G::other},
    {togglePause, "togglePause", "Pause / resume Vistarail", G::other},
    {toggleCarousel, "toggleCarousel", "Toggle carousel mode", G::other},
}};

constexpr bool tableIsInDeclarationOrder() {
  for (size_t i = 0; i < kActions.size(); ++i) {
    if (static_cast<size_t>(kActions[i].action) != i) return false;
  }
  return true;
}
static_assert(tableIsInDeclarationOrder());

// actions(ActionGroup) relies on each group being one run of the table, in
// the order of the groups.
constexpr bool groupsAreContiguous() {
  for (size_t i = 1; i < kActions.size(); ++i) {
    if (kActions[i].group < kActions[i - 1].group) return false;
  }
  return true;
}
static_assert(groupsAreContiguous());

constexpr std::array<Action, kActionCount> kAll = [] {
  std::array<Action, kActionCount> all{};
  for (size_t i = 0; i < all.size(); ++i) all[i] = kActions[i].action;
  return all;
}();

const ActionInfo& info(Action action) {
  return kActions.at(static_cast<size_t>(action));
}

}  // namespace

std::span<const Action, kActionCount> allActions() {
  return kAll;
}

std::string_view rawValue(Action action) {
  return info(action).raw;
}

std::optional<Action> actionFromRaw(std::string_view raw) {
  for (const ActionInfo& entry : kActions) {
    if (entry.raw == raw) return entry.action;
  }
  return std::nullopt;
}

std::string title(Action action) {
  if (const auto column = columnNumber(action)) return "Focus window " + std::to_string(*column);
  return std::string(info(action).title);
}

ActionGroup group(Action action) {
  return info(action).group;
}

std::optional<int> columnNumber(Action action) {
  const int offset = static_cast<int>(action) - static_cast<int>(focusColumn1);
  if (offset < 0 || offset >= 9) return std::nullopt;
  return offset + 1;
}

std::string_view rawValue(ActionGroup group) {
  switch (group) {
    case G::navigation:
      return "Navigation";
    case G::moving:
      return "Moving";
    case G::sizing:
      return "Sizing";
    case G::stacks:
      return "Stacks";
    case G::other:
      return "Other";
  }
  return "Other";
}

std::span<const Action> actions(ActionGroup group) {
  const auto inGroup = [group](Action a) { return info(a).group == group; };
  const auto first = std::find_if(kAll.begin(), kAll.end(), inGroup);
  const auto last = std::find_if_not(first, kAll.end(), inGroup);
  return {first, last};
}

}  // namespace vistarail
