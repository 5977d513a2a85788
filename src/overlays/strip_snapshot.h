#pragma once
// The only description of a strip the overlays see: columns in strip order
// with the windows stacked in each, the focus, the scroll and the sizes that
// place the strip on its display. The window manager builds one per display
// and layout pass; the overlays never look at the strip itself.

#include <cstdint>
#include <string>
#include <vector>

#include "base/ids.h"

namespace vistarail {

enum class EdgeSide { left, right };

struct StripSnapshot {
  struct WindowLabel {
    Pid pid = 0;  // 0 when the window's record is missing
    std::string title;
    std::string appName;
    WindowId id = 0;
    friend bool operator==(const WindowLabel&, const WindowLabel&) = default;
  };
  struct ColumnInfo {
    double x = 0;  // left edge in strip coordinates, slide offset included
    double width = 0;
    int windowCount = 0;
    int activeIndex = 0;
    std::vector<WindowLabel> windows;  // top to bottom
    friend bool operator==(const ColumnInfo&, const ColumnInfo&) = default;
  };

  std::vector<ColumnInfo> columns;
  int focusedIndex = 0;
  double scroll = 0;
  double viewportWidth = 0;
  double viewportHeight = 0;
  double contentWidth = 0;
  double maxScroll = 0;
  friend bool operator==(const StripSnapshot&, const StripSnapshot&) = default;

  const WindowLabel* label(WindowId id) const;
  // The index of the column listing the window, or -1.
  int columnOf(WindowId id) const;
};

// What of a snapshot counts as a change worth showing: titles are dropped,
// positions and scroll rounded to half a point and widths to a point, so
// renamed windows and sub-point motion compare equal. Written into `out`,
// whose buffers are reused: this runs every frame.
void signatureOf(const StripSnapshot& snapshot, StripSnapshot& out);

}  // namespace vistarail
