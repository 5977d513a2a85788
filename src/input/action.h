#pragma once
// Every keyboard command of the program. The raw value of a case is its name;
// it is what the bindings document stores, so cases may be added but never
// renamed. Declaration order is the order of the Shortcuts tab and of hot-key
// registration.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vistarail {

enum class Action {
  focusLeft,
  focusRight,
  focusUp,
  focusDown,
  focusFirst,
  focusLast,
  focusColumn1,
  focusColumn2,
  focusColumn3,
  focusColumn4,
  focusColumn5,
  focusColumn6,
  focusColumn7,
  focusColumn8,
  focusColumn9,
  moveLeft,
  moveRight,
  moveUp,
  moveDown,
  moveToFirst,
  moveToLast,
  cycleWidth,
  cycleWidthBack,
  fullWidth,
  center,
  widen,
  narrow,
  stackIntoLeft,
  popOut,
  toggleFloat,
  retile,
  togglePause,
  toggleCarousel,
};

inline constexpr size_t kActionCount = 33;

// The sections of the Shortcuts tab; the raw value is the section heading.
enum class ActionGroup { navigation, moving, sizing, stacks, other };

inline constexpr std::array<ActionGroup, 5> kAllActionGroups = {
    ActionGroup::navigation, ActionGroup::moving, ActionGroup::sizing, ActionGroup::stacks,
    ActionGroup::other};

// Every action in declaration order.
std::span<const Action, kActionCount> allActions();

std::string_view rawValue(Action action);
// No value for a name that is not an action (for instance one written by a
// newer version of the program).
std::optional<Action> actionFromRaw(std::string_view raw);

// The text shown beside the action's shortcuts.
std::string title(Action action);
ActionGroup group(Action action);
// 1...9 for focusColumn1...focusColumn9, absent for every other action.
std::optional<int> columnNumber(Action action);

std::string_view rawValue(ActionGroup group);
// The group's actions in declaration order.
std::span<const Action> actions(ActionGroup group);

}  // namespace vistarail
