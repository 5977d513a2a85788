#include "overlays/strip_snapshot.h"

#include "base/geometry.h"

namespace vistarail {

namespace {

double toHalfPoint(double v) {
  return roundHalfAwayFromZero(v * 2) / 2;
}

}  // namespace

const StripSnapshot::WindowLabel* StripSnapshot::label(WindowId id) const {
  for (const ColumnInfo& column : columns) {
    for (const WindowLabel& window : column.windows) {
      if (window.id == id) return &window;
    }
  }
  return nullptr;
}

int StripSnapshot::columnOf(WindowId id) const {
  for (size_t i = 0; i < columns.size(); ++i) {
    for (const WindowLabel& window : columns[i].windows) {
      if (window.id == id) return static_cast<int>(i);
    }
  }
  return -1;
}

StripSnapshot signatureOf(const StripSnapshot& snapshot) {
  StripSnapshot reduced;
  reduced.columns.reserve(snapshot.columns.size());
  for (const auto& column : snapshot.columns) {
    reduced.columns.push_back({toHalfPoint(column.x),
                               roundHalfAwayFromZero(column.width),
                               column.windowCount,
                               column.activeIndex,
                               {}});
  }
  reduced.focusedIndex = snapshot.focusedIndex;
  reduced.scroll = toHalfPoint(snapshot.scroll);
  reduced.viewportWidth = snapshot.viewportWidth;
  reduced.viewportHeight = snapshot.viewportHeight;
  reduced.contentWidth = snapshot.contentWidth;
  reduced.maxScroll = snapshot.maxScroll;
  return reduced;
}

}  // namespace vistarail
