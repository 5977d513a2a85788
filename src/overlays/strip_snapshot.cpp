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

void signatureOf(const StripSnapshot& snapshot, StripSnapshot& out) {
  out.columns.resize(snapshot.columns.size());
  for (size_t i = 0; i < snapshot.columns.size(); ++i) {
    const StripSnapshot::ColumnInfo& column = snapshot.columns[i];
    StripSnapshot::ColumnInfo& reduced = out.columns[i];
    reduced.x = toHalfPoint(column.x);
    reduced.width = roundHalfAwayFromZero(column.width);
    reduced.windowCount = column.windowCount;
    reduced.activeIndex = column.activeIndex;
    reduced.windows.clear();
  }
  out.focusedIndex = snapshot.focusedIndex;
  out.scroll = toHalfPoint(snapshot.scroll);
  out.viewportWidth = snapshot.viewportWidth;
  out.viewportHeight = snapshot.viewportHeight;
  out.contentWidth = snapshot.contentWidth;
  out.maxScroll = snapshot.maxScroll;
}

}  // namespace vistarail
