// The commands that act on the strip of the display the user is working on:
// moving the focus, moving columns and windows, column widths, stacking.
// Each family is one step of `performCommand`; a step that does not know the
// command leaves it to the next.

#include <algorithm>
#include <cmath>

#include "strip/width_presets.h"
#include "windows/window_manager.h"

namespace vistarail {

namespace {

constexpr double kWidthStep = 0.05;
// A column this wide counts as full width; presets may land a hair below 1.
constexpr double kFullWidth = 0.999;

}  // namespace

void WindowManager::performCommand(Action action, DisplayState& display) {
  if (!commandsAllowed(display)) return;
  overlays_->pulse(display);
  using Step = CommandOutcome (WindowManager::*)(Action, DisplayState&);
  for (Step step : {&WindowManager::focusCommand, &WindowManager::moveCommand,
                    &WindowManager::widthCommand, &WindowManager::stackCommand}) {
    const CommandOutcome outcome = (this->*step)(action, display);
    if (outcome == CommandOutcome::notThisKind) continue;
    if (outcome == CommandOutcome::done) {
      startAnimator();
      scheduleSave();
    }
    return;
  }
  // Commands that never address a display are handled by perform.
}

WindowManager::CommandOutcome WindowManager::focusCommand(Action action, DisplayState& display) {
  Strip& strip = currentStrip(display);
  const int f = strip.focusedIndex;
  if (auto number = columnNumber(action)) {
    focusColumn(*number - 1, display);
    return CommandOutcome::done;
  }
  switch (action) {
    case Action::focusLeft:
      focusColumn(f - 1, display);
      return CommandOutcome::done;
    case Action::focusRight:
      focusColumn(f + 1, display);
      return CommandOutcome::done;
    case Action::focusFirst:
      focusColumn(0, display);
      return CommandOutcome::done;
    case Action::focusLast:
      focusColumn(strip.count() - 1, display);
      return CommandOutcome::done;
    case Action::focusUp:
    case Action::focusDown: {
      Column* column = strip.focusedColumn();
      if (!column || column->count() < 2) return CommandOutcome::nothingToDo;
      const int step = action == Action::focusUp ? -1 : 1;
      column->activeIndex = std::clamp(column->activeIndex + step, 0, column->count() - 1);
      if (auto window = column->activeWindow()) focusWindow(*window);
      return CommandOutcome::done;
    }
    default:
      return CommandOutcome::notThisKind;
  }
}

WindowManager::CommandOutcome WindowManager::moveCommand(Action action, DisplayState& display) {
  Strip& strip = currentStrip(display);
  const int f = strip.focusedIndex;
  auto moveFocusedColumn = [&](int to) {
    animatedMutation(display, [&](Strip& s) { s.moveColumn(f, to); });
    ensureFocusedVisible(display, true);
    return CommandOutcome::done;
  };
  switch (action) {
    case Action::moveLeft:
      return moveFocusedColumn(f - 1);
    case Action::moveRight:
      return moveFocusedColumn(f + 1);
    case Action::moveToFirst:
      return moveFocusedColumn(0);
    case Action::moveToLast:
      return moveFocusedColumn(strip.count() - 1);
    case Action::moveUp:
    case Action::moveDown: {
      const int delta = action == Action::moveUp ? -1 : 1;
      animatedMutation(display, [&](Strip& s) { s.moveWindowInColumn(delta); });
      return CommandOutcome::done;
    }
    default:
      return CommandOutcome::notThisKind;
  }
}

WindowManager::CommandOutcome WindowManager::widthCommand(Action action, DisplayState& display) {
  Strip& strip = currentStrip(display);
  Column* column = strip.focusedColumn();
  // Sets the focused column's width; held by identity across the slide.
  auto setProportion = [&](double value) {
    const ColumnId id = column->id();
    animatedMutation(display, [&](Strip& s) {
      if (auto i = s.columnIndexOf(id)) s.columns[*i].proportion = commandProportion(value);
    });
    ensureFocusedVisible(display, true);
  };
  switch (action) {
    case Action::cycleWidth:
    case Action::cycleWidthBack: {
      if (!column) return CommandOutcome::nothingToDo;
      const auto direction =
          action == Action::cycleWidth ? CycleDirection::forward : CycleDirection::backward;
      setProportion(
          cyclePresetProportion(settings_.widthPresets.value(), column->proportion, direction));
      return CommandOutcome::done;
    }
    case Action::fullWidth: {
      if (!column) return CommandOutcome::nothingToDo;
      if (column->proportion >= kFullWidth) {
        const double newWidth = settings_.newWindowWidth.value();
        setProportion(column->proportionBeforeFullWidth.value_or(
            std::isfinite(newWidth) && newWidth > 0 ? newWidth : 0.5));
        if (Column* same = strip.focusedColumn()) same->proportionBeforeFullWidth.reset();
      } else {
        column->proportionBeforeFullWidth = column->proportion;
        setProportion(1.0);
      }
      return CommandOutcome::done;
    }
    case Action::widen:
    case Action::narrow: {
      if (!column) return CommandOutcome::nothingToDo;
      setProportion(column->proportion + (action == Action::widen ? kWidthStep : -kWidthStep));
      return CommandOutcome::done;
    }
    case Action::center:
      if (!column) return CommandOutcome::nothingToDo;
      scrollTo(display, true,
               scrollTarget(strip, strip.focusedIndex, geometryFor(display), CenterMode::always,
                            strip.scroll.target));
      return CommandOutcome::done;
    default:
      return CommandOutcome::notThisKind;
  }
}

WindowManager::CommandOutcome WindowManager::stackCommand(Action action, DisplayState& display) {
  Strip& strip = currentStrip(display);
  switch (action) {
    case Action::stackIntoLeft: {
      if (strip.focusedIndex < 1) return CommandOutcome::nothingToDo;
      const LayoutGeometry geometry = geometryFor(display);
      animatedMutation(display, [&](Strip& s) {
        s.stackIntoLeft();
        // Stacking may leave too little height for windows with known minimums.
        s.enforceMinHeights(geometry);
      });
      ensureFocusedVisible(display, true);
      return CommandOutcome::done;
    }
    case Action::popOut: {
      const Column* column = strip.focusedColumn();
      const std::optional<WindowId> window = column ? column->activeWindow() : std::nullopt;
      if (window) animatedMutation(display, [&](Strip& s) { s.popOut(*window); });
      ensureFocusedVisible(display, true);
      return CommandOutcome::done;
    }
    default:
      return CommandOutcome::notThisKind;
  }
}

void WindowManager::focusColumn(int index, DisplayState& display) {
  Strip& strip = currentStrip(display);
  if (strip.empty()) return;
  strip.setFocusedIndex(index);
  ensureFocusedVisible(display, true);
  if (const Column* column = strip.focusedColumn()) {
    if (auto window = column->activeWindow()) focusWindow(*window);
  }
  scheduleSave();
}

}  // namespace vistarail
