#pragma once
// Bringing back a saved layout for the first windows that join a strip.

#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "strip/strip.h"

namespace vistarail {

// A window about to join a strip, with its current frame.
struct JoiningWindow {
  WindowId window = 0;
  Rect frame;
  friend bool operator==(const JoiningWindow&, const JoiningWindow&) = default;
};

// Applies the strip's pending restore (once: it is cleared even if it places
// nothing). Saved columns are rebuilt, left to right, from the joining
// windows they name, in saved order; a column none of whose windows is
// joining disappears. Each restored window gets its saved preferred height,
// else keeps the one the strip has, else takes its frame's height. Focus goes
// to the saved index clamped to the restored columns.
//
// Returns the joining windows the saved layout did not place, in their given
// order, for ordinary insertion (each window once). Without a pending restore
// that is every joining window.
std::vector<JoiningWindow> applyPendingRestore(Strip& strip,
                                               const std::vector<JoiningWindow>& joining);

}  // namespace vistarail
