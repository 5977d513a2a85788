// The one entry for commands, the display they address, floating a window out
// of its strip and back, retiling, and the minimap's clicks and drops. The
// commands that change a strip are in strip_commands.cpp. Commands never
// create or delete strips: they work on the current strip of the display the
// user is working on.

#include <algorithm>
#include <cmath>

#include "platform/ax_names.h"
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

void WindowManager::toggleFloat(WindowId id) {
  if (!running_ || !settings_.enabled.value()) return;
  auto window = table_.windows.find(id);
  if (window == table_.windows.end()) return;
  const DisplayInfo* info = displayOf(window->second, displays_.connected);
  DisplayState* display = info ? displayState(info->id) : nullptr;
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
