// Where windows join a strip: a new window is placed as a column right beside
// the focused one (several at once keep their left-to-right order), at the
// width new windows are given or its own; into an empty strip they are
// appended in order. A strip restored from a saved layout puts the windows it
// remembers back in their columns first.

#include <algorithm>
#include <cmath>

#include "windows/window_manager.h"

namespace vistarail {

void WindowManager::syncStrip(DisplayState& display, Strip& strip,
                              const std::vector<WindowId>& removed,
                              const std::vector<JoiningWindow>& added, bool appendAtEnd) {
  for (WindowId id : removed) strip.remove(id);
  for (const JoiningWindow& joining : added) {
    removeFromStrips(joining.window, [&strip](const DisplayState&, const Strip& other) {
      return &other != &strip;
    });
    displays_.windowDisplays[joining.window] = display.info.id;
  }
  const std::vector<JoiningWindow> remaining = applyPendingRestore(strip, added);

  const LayoutGeometry geometry = geometryFor(display);
  const double newWidth = settings_.newWindowWidth.value();
  int k = 0;
  for (const JoiningWindow& joining : remaining) {
    strip.preferredHeights.try_emplace(joining.window, joining.frame.height());
    double proportion = 0.5;
    if (std::isfinite(newWidth) && newWidth > 0) {
      proportion = std::min(newWidth, 1.0);
    } else if (auto own = adoptedProportion(joining.frame.width(), geometry)) {
      proportion = *own;
    }
    Column column = Column::single(joining.window, proportion);
    if (appendAtEnd) {
      strip.insert(std::move(column), strip.count());
    } else {
      strip.insert(std::move(column), strip.focusedIndex + 1 + k);
    }
    ++k;
  }
  strip.clampFocusedIndex();
  strip.enforceMinHeights(geometry);
}

}  // namespace vistarail
