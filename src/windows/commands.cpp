// Keyboard commands, floating a window out of its strip and back, retiling,
// and the minimap's clicks and drops. Commands never create or delete strips:
// they work on the current strip of the display the user is working on.

#include <algorithm>
#include <cmath>

#include "platform/ax_names.h"
#include "strip/width_presets.h"
#include "windows/ax_read.h"
#include "windows/window_manager.h"

namespace vistarail {

namespace {

// A window taken out of its strip lands centred and smaller than the area, so
// that it visibly floats; edges on whole points so the application keeps it.
Rect floatingFrame(const Rect& area) {
  const double width = std::min(area.width() * 0.6, 1200.0);
  const double height = std::min(area.height() * 0.7, 900.0);
  const Point centre = area.center();
  const double minX = std::floor(centre.x - width / 2);
  const double minY = std::floor(centre.y - height / 2);
  const double maxX = std::ceil(centre.x + width / 2);
  const double maxY = std::ceil(centre.y + height / 2);
  return {minX, minY, maxX - minX, maxY - minY};
}

void makeActive(Column& column, WindowId window) {
  auto position = std::find(column.windows.begin(), column.windows.end(), window);
  if (position != column.windows.end()) {
    column.activeIndex = static_cast<int>(position - column.windows.begin());
  }
}

constexpr double kWidthStep = 0.05;
// A column this wide counts as full width; presets may land a hair below 1.
constexpr double kFullWidth = 0.999;

}  // namespace

bool WindowManager::commandsAllowed(const DisplayState& display) const {
  return running_ && settings_.enabled.value() && display.isActive();
}

void WindowManager::perform(Action action) {
  switch (action) {
    case Action::toggleFloat: {
      // A focus the program asked for a moment ago may not have reached the
      // application yet; the user already sees it, so it is the one meant,
      // as it is for focus itself. Taken now: a later command's focus is not.
      std::optional<WindowId> pending;
      if (focus_.pendingFocus && ports_.dispatch.mediaTime() < focus_.pendingFocus->deadline) {
        pending = focus_.pendingFocus->id;
      }
      readFrontmostFocus([pending](WindowManager& self, std::optional<WindowId> id, Pid) {
        if (pending) id = pending;
        if (id) self.toggleFloat(*id);
      });
      return;
    }
    case Action::retile:
      retile();
      return;
    case Action::togglePause:
      settings_.enabled.set(!settings_.enabled.value());
      return;
    case Action::toggleCarousel:
      settings_.carouselMode.set(!settings_.carouselMode.value());
      return;
    default:
      if (DisplayState* display = commandDisplay()) performCommand(action, *display);
      return;
  }
}

DisplayState* WindowManager::commandDisplay() {
  auto front = ports_.workspace.frontmostApplication();
  if (focus_.actualFocusedWindow && front) {
    auto window = table_.windows.find(*focus_.actualFocusedWindow);
    if (window != table_.windows.end() && window->second.pid() == front->pid) {
      if (DisplayState* display = activeDisplayHolding(window->first)) return display;
      // A floating window still says which display the user is on.
      if (window->second.lastKnownFrame) {
        if (auto info = displayContainingFrame(*window->second.lastKnownFrame)) {
          DisplayState* display = displayState(info->id);
          return display && display->isActive() ? display : nullptr;
        }
      }
    }
  }
  if (displays_.connected.empty()) return nullptr;
  const Point pointer = flipVertically(ports_.workspace.pointerLocation(),
                                       displays_.connected.front().frame.height());
  for (const DisplayInfo& info : displays_.connected) {
    if (!info.frame.contains(pointer)) continue;
    DisplayState* display = displayState(info.id);
    return display && display->isActive() ? display : nullptr;
  }
  return nullptr;
}

void WindowManager::performCommand(Action action, DisplayState& display) {
  if (!commandsAllowed(display)) return;
  overlays_->pulse(display);
  Strip& strip = currentStrip(display);
  const LayoutGeometry geometry = geometryFor(display);
  const int f = strip.focusedIndex;

  // Sets the focused column's width; held by identity across the slide.
  auto setProportion = [&](double value) {
    const ColumnId id = strip.columns[f].id();
    animatedMutation(display, [&](Strip& s) {
      if (auto i = s.columnIndexOf(id)) s.columns[*i].proportion = commandProportion(value);
    });
  };
  auto moveFocusedColumn = [&](int to) {
    animatedMutation(display, [&](Strip& s) { s.moveColumn(f, to); });
    ensureFocusedVisible(display, true);
  };

  if (auto number = columnNumber(action)) {
    focusColumn(*number - 1, display);
  } else {
    switch (action) {
      case Action::focusLeft:
        focusColumn(f - 1, display);
        break;
      case Action::focusRight:
        focusColumn(f + 1, display);
        break;
      case Action::focusFirst:
        focusColumn(0, display);
        break;
      case Action::focusLast:
        focusColumn(strip.count() - 1, display);
        break;
      case Action::focusUp:
      case Action::focusDown: {
        Column* column = strip.focusedColumn();
        if (!column || column->count() < 2) return;
        const int step = action == Action::focusUp ? -1 : 1;
        column->activeIndex = std::clamp(column->activeIndex + step, 0, column->count() - 1);
        if (auto window = column->activeWindow()) focusWindow(*window);
        break;
      }
      case Action::moveLeft:
        moveFocusedColumn(f - 1);
        break;
      case Action::moveRight:
        moveFocusedColumn(f + 1);
        break;
      case Action::moveToFirst:
        moveFocusedColumn(0);
        break;
      case Action::moveToLast:
        moveFocusedColumn(strip.count() - 1);
        break;
      case Action::moveUp:
      case Action::moveDown: {
        const int delta = action == Action::moveUp ? -1 : 1;
        animatedMutation(display, [&](Strip& s) { s.moveWindowInColumn(delta); });
        break;
      }
      case Action::cycleWidth:
      case Action::cycleWidthBack: {
        const Column* column = strip.focusedColumn();
        if (!column) return;
        const auto direction =
            action == Action::cycleWidth ? CycleDirection::forward : CycleDirection::backward;
        setProportion(
            cyclePresetProportion(settings_.widthPresets.value(), column->proportion, direction));
        ensureFocusedVisible(display, true);
        break;
      }
      case Action::fullWidth: {
        Column* column = strip.focusedColumn();
        if (!column) return;
        if (column->proportion >= kFullWidth) {
          const double newWidth = settings_.newWindowWidth.value();
          const double restored = column->proportionBeforeFullWidth.value_or(
              std::isfinite(newWidth) && newWidth > 0 ? newWidth : 0.5);
          setProportion(restored);
          ensureFocusedVisible(display, true);
          if (Column* same = strip.focusedColumn()) same->proportionBeforeFullWidth.reset();
        } else {
          column->proportionBeforeFullWidth = column->proportion;
          setProportion(1.0);
          ensureFocusedVisible(display, true);
        }
        break;
      }
      case Action::center: {
        if (!strip.focusedColumn()) return;
        scrollTo(display, true,
                 scrollTarget(strip, f, geometry, CenterMode::always, strip.scroll.target));
        break;
      }
      case Action::widen:
      case Action::narrow: {
        const Column* column = strip.focusedColumn();
        if (!column) return;
        const double step = action == Action::widen ? kWidthStep : -kWidthStep;
        setProportion(column->proportion + step);
        ensureFocusedVisible(display, true);
        break;
      }
      case Action::stackIntoLeft:
        if (f < 1) return;
        animatedMutation(display, [&](Strip& s) {
          s.stackIntoLeft();
          // Stacking may leave too little height for windows with known minimums.
          s.enforceMinHeights(geometry);
        });
        ensureFocusedVisible(display, true);
        break;
      case Action::popOut: {
        const Column* column = strip.focusedColumn();
        const std::optional<WindowId> window = column ? column->activeWindow() : std::nullopt;
        if (window) animatedMutation(display, [&](Strip& s) { s.popOut(*window); });
        ensureFocusedVisible(display, true);
        break;
      }
      default:
        return;  // handled by perform, never addressed to a display
    }
  }
  startAnimator();
  scheduleSave();
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

void WindowManager::toggleFloat(WindowId id) {
  if (!running_ || !settings_.enabled.value()) return;
  auto window = table_.windows.find(id);
  if (window == table_.windows.end()) return;
  DisplayState* display = nullptr;
  if (auto entry = displays_.windowDisplays.find(id); entry != displays_.windowDisplays.end()) {
    display = displayState(entry->second);
  } else if (window->second.lastKnownFrame) {
    if (auto info = displayContainingFrame(*window->second.lastKnownFrame)) {
      display = displayState(info->id);
    }
  }
  if (!display || !display->isActive()) return;
  Strip* strip = display->currentStrip();
  if (!strip) return;

  if (!strip->contains(id)) {
    // It was floating: the next scan tiles it again.
    table_.userFloating.erase(id);
    scheduleRefresh(window->second.pid());
    return;
  }
  animatedMutation(*display, [id](Strip& s) { s.remove(id); });
  table_.userFloating.insert(id);
  moved_.laidOut(id, false, ports_.dispatch.mediaTime());
  mover_->apply(window->second.handle, floatingFrame(display->info.visibleFrame));
  ensureFocusedVisible(*display, true);
  startAnimator();
  scheduleSave();
}

void WindowManager::retile() {
  table_.userFloating.clear();
  external_.reasserts.clear();
  dropAllMoverRecords();
  if (!running_ || !settings_.enabled.value()) return;
  resetOffsets();
  scheduleRefresh(std::nullopt);
}

void WindowManager::onMinimapClick(WindowId id, const std::string& displayID) {
  DisplayState* display = displayState(displayID);
  if (!display || !commandsAllowed(*display)) return;
  Strip& strip = currentStrip(*display);
  const auto index = strip.columnIndexOf(id);
  if (!index) return;
  makeActive(strip.columns[*index], id);
  overlays_->pulse(*display);
  focusColumn(*index, *display);
  startAnimator();
  scheduleSave();
}

void WindowManager::onMinimapReorder(WindowId id, const MinimapDropTarget& target,
                                     const std::string& displayID) {
  DisplayState* display = displayState(displayID);
  if (!display || !commandsAllowed(*display)) return;
  Strip& strip = currentStrip(*display);
  if (!strip.contains(id) || !strip.contains(target.window)) return;
  bool moved = false;
  animatedMutation(*display, [&](Strip& s) { moved = s.moveColumnOfWindow(id, target); });
  if (moved) {
    if (auto index = strip.columnIndexOf(id)) {
      makeActive(strip.columns[*index], id);
      overlays_->pulse(*display);
      focusColumn(*index, *display);
    }
  }
  startAnimator();
  scheduleSave();
}

}  // namespace vistarail
