#pragma once
// A strip as it was saved: what the model holds while it waits for the
// windows to come back (Strip::pendingRestore). Its stored form is in
// saved_layout.h, so the model never sees the codec.

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "base/ids.h"

namespace vistarail {

struct SavedColumn {
  std::vector<WindowId> windows;  // top to bottom
  double proportion = 0;
  friend bool operator==(const SavedColumn&, const SavedColumn&) = default;
};

struct SavedStrip {
  std::vector<SavedColumn> columns;  // left to right
  int64_t focusedIndex = 0;
  std::optional<std::map<WindowId, double>> preferredHeights;
  friend bool operator==(const SavedStrip&, const SavedStrip&) = default;
};

}  // namespace vistarail
