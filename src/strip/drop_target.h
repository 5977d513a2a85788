#pragma once
// Where a column dropped on the minimap goes: next to the column holding
// `window`, after it (to its right) or before it.

#include "base/ids.h"

namespace vistarail {

struct MinimapDropTarget {
  WindowId window = 0;
  bool after = false;
  friend bool operator==(const MinimapDropTarget&, const MinimapDropTarget&) = default;
};

}  // namespace vistarail
