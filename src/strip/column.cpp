#include "strip/column.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace vistarail {

namespace {
// Columns are made on the main queue, but an atomic keeps identities unique
// even for a test that builds strips on other threads.
std::atomic<ColumnId> gNextColumnId{1};
}  // namespace

Column::Column(std::vector<WindowId> windowIds, double proportionOfWidth)
    : windows(std::move(windowIds)),
      proportion(proportionOfWidth),
      id_(gNextColumnId.fetch_add(1, std::memory_order_relaxed)) {}

int Column::activePosition() const {
  return activeIndex >= 0 && activeIndex < count() ? activeIndex : 0;
}

std::optional<WindowId> Column::activeWindow() const {
  if (windows.empty()) return std::nullopt;
  return windows[activePosition()];
}

void Column::remove(WindowId window) {
  const std::optional<WindowId> active = activeWindow();
  std::erase(windows, window);
  if (active && *active != window && !windows.empty()) {
    activeIndex =
        static_cast<int>(std::find(windows.begin(), windows.end(), *active) - windows.begin());
    return;
  }
  activeIndex = std::max(activeIndex, 0);
  activeIndex = std::min(activeIndex, std::max(count() - 1, 0));
}

}  // namespace vistarail
