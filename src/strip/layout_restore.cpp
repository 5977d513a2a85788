#include "strip/layout_restore.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace vistarail {

namespace {

std::vector<JoiningWindow> eachOnce(const std::vector<JoiningWindow>& windows,
                                    const std::unordered_set<WindowId>& placed) {
  std::vector<JoiningWindow> out;
  std::unordered_set<WindowId> seen;
  for (const JoiningWindow& w : windows) {
    if (placed.contains(w.window) || !seen.insert(w.window).second) continue;
    out.push_back(w);
  }
  return out;
}

}  // namespace

std::vector<JoiningWindow> applyPendingRestore(Strip& strip,
                                               const std::vector<JoiningWindow>& joining) {
  std::unordered_set<WindowId> placed;
  if (!strip.pendingRestore) return eachOnce(joining, placed);
  const SavedStrip saved = std::move(*strip.pendingRestore);
  strip.pendingRestore.reset();

  // First occurrence wins, as in the given order.
  std::unordered_map<WindowId, const JoiningWindow*> byId;
  for (const JoiningWindow& w : joining) byId.try_emplace(w.window, &w);

  for (const SavedColumn& savedColumn : saved.columns) {
    std::vector<WindowId> kept;
    for (WindowId window : savedColumn.windows) {
      // A window named twice in stored data, or already in the strip, is
      // placed only once: a strip never holds a window twice.
      const auto it = byId.find(window);
      if (it == byId.end() || placed.contains(window) || strip.contains(window)) continue;
      placed.insert(window);
      kept.push_back(window);
      const std::map<WindowId, double>* savedHeights =
          saved.preferredHeights ? &*saved.preferredHeights : nullptr;
      if (savedHeights && savedHeights->contains(window)) {
        strip.preferredHeights[window] = savedHeights->at(window);
      } else if (!strip.preferredHeights.contains(window)) {
        strip.preferredHeights[window] = it->second->frame.height();
      }
    }
    if (kept.empty()) continue;
    // Proportion as stored: the width computation bounds it in any case.
    strip.columns.emplace_back(std::move(kept), savedColumn.proportion);
  }

  const int64_t last = static_cast<int64_t>(strip.columns.size()) - 1;
  strip.focusedIndex = strip.columns.empty()
                           ? 0
                           : static_cast<int>(std::clamp<int64_t>(saved.focusedIndex, 0, last));
  return eachOnce(joining, placed);
}

}  // namespace vistarail
