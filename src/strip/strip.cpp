#include "strip/strip.h"

#include <algorithm>
#include <utility>

namespace vistarail {

const Column* Strip::focusedColumn() const {
  if (focusedIndex < 0 || focusedIndex >= count()) return nullptr;
  return &columns[focusedIndex];
}

Column* Strip::focusedColumn() {
  return const_cast<Column*>(std::as_const(*this).focusedColumn());
}

std::vector<WindowId> Strip::allWindows() const {
  std::vector<WindowId> out;
  for (const Column& column : columns) {
    out.insert(out.end(), column.windows.begin(), column.windows.end());
  }
  return out;
}

bool Strip::contains(WindowId window) const {
  return columnIndexOf(window).has_value();
}

std::optional<int> Strip::columnIndexOf(WindowId window) const {
  for (int i = 0; i < count(); ++i) {
    if (columns[i].contains(window)) return i;
  }
  return std::nullopt;
}

std::optional<int> Strip::columnIndexOf(ColumnId column) const {
  for (int i = 0; i < count(); ++i) {
    if (columns[i].id() == column) return i;
  }
  return std::nullopt;
}

void Strip::insert(Column column, int index) {
  index = std::clamp(index, 0, count());
  columns.insert(columns.begin() + index, std::move(column));
  if (count() == 1) {
    focusedIndex = 0;
  } else if (focusedIndex >= index) {
    ++focusedIndex;
  }
}

bool Strip::remove(WindowId window) {
  const std::optional<int> found = columnIndexOf(window);
  if (!found) return false;
  const int index = *found;
  columns[index].remove(window);
  if (columns[index].windows.empty()) {
    columns.erase(columns.begin() + index);
    if (index < focusedIndex) --focusedIndex;
  }
  clampFocusedIndex();
  return true;
}

void Strip::moveColumn(int from, int to) {
  if (from < 0 || from >= count()) return;
  to = std::clamp(to, 0, count() - 1);
  if (to == from) return;
  Column moving = std::move(columns[from]);
  columns.erase(columns.begin() + from);
  columns.insert(columns.begin() + to, std::move(moving));
  if (focusedIndex == from) {
    focusedIndex = to;
  } else if (from < focusedIndex && focusedIndex <= to) {
    --focusedIndex;
  } else if (to <= focusedIndex && focusedIndex < from) {
    ++focusedIndex;
  }
}

bool Strip::moveColumnOfWindow(WindowId window, const MinimapDropTarget& target) {
  const std::optional<int> from = columnIndexOf(window);
  const std::optional<int> next = columnIndexOf(target.window);
  if (!from || !next || *from == *next) return false;
  int destination = target.after ? *next + 1 : *next;
  if (*from < destination) --destination;
  if (destination == *from) return false;
  moveColumn(*from, destination);
  return true;
}

bool Strip::stackIntoLeft() {
  if (focusedIndex < 1) return false;
  Column* focused = focusedColumn();
  if (!focused) return false;
  const std::optional<WindowId> moving = focused->activeWindow();
  if (!moving) return false;
  focused->remove(*moving);
  Column& left = columns[focusedIndex - 1];
  left.windows.push_back(*moving);
  left.activeIndex = left.count() - 1;
  if (focused->windows.empty()) columns.erase(columns.begin() + focusedIndex);
  --focusedIndex;
  return true;
}

namespace {

// popOut for a column already found; enforceMinHeights calls it with the
// column it is walking so that it never acts on another one.
void popOutOf(Strip& strip, int index, WindowId window) {
  Column& source = strip.columns[index];
  const bool wasFocusedActive = index == strip.focusedIndex && source.activeWindow() == window;
  source.remove(window);
  Column popped = Column::single(window, source.proportion);
  // Placed directly, not through insert(): focus has its own rule here.
  strip.columns.insert(strip.columns.begin() + index + 1, std::move(popped));
  if (wasFocusedActive) {
    strip.focusedIndex = index + 1;
  } else if (index < strip.focusedIndex) {
    ++strip.focusedIndex;
  }
}

}  // namespace

bool Strip::popOut(WindowId window) {
  const std::optional<int> found = columnIndexOf(window);
  if (!found || columns[*found].count() < 2) return false;
  popOutOf(*this, *found, window);
  return true;
}

bool Strip::moveWindowInColumn(int delta) {
  Column* column = focusedColumn();
  if (!column || column->count() < 2) return false;
  const int from = column->activePosition();
  const int to = std::clamp(from + delta, 0, column->count() - 1);
  if (to == from) return false;
  std::swap(column->windows[from], column->windows[to]);
  column->activeIndex = to;
  return true;
}

bool Strip::fitsMinHeights(const Column& column, const LayoutGeometry& geometry) const {
  if (column.count() < 2) return true;
  double needed = geometry.innerGap * (column.count() - 1);
  for (WindowId window : column.windows) {
    const auto it = minHeights.find(window);
    needed += it != minHeights.end() ? it->second : kMinWindowHeightPoints;
  }
  return needed <= geometry.usableHeight() + 0.5;
}

bool Strip::enforceMinHeights(const LayoutGeometry& geometry) {
  bool changed = false;
  // count() is read on every step: popped columns are visited too. Every pop
  // shortens a stack, so the walk ends after at most one step per window.
  for (int i = 0; i < count(); ++i) {
    while (columns[i].count() >= 2 && !fitsMinHeights(columns[i], geometry)) {
      popOutOf(*this, i, columns[i].windows.back());
      changed = true;
    }
  }
  return changed;
}

void Strip::setFocusedIndex(int index) {
  focusedIndex = columns.empty() ? 0 : std::clamp(index, 0, count() - 1);
}

}  // namespace vistarail
