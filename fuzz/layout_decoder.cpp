// Stored layouts are input from outside: whatever bytes sit under the two
// defaults keys must decode to a layout or to nothing, never crash or hang,
// and whatever decodes must survive the whole way through the program:
// re-encoding (to the same value), migration, restoring into a strip that
// keeps every invariant, laying that strip out, and saving it again.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/sim/defaults/memory_defaults.h"
#include "strip/carousel.h"
#include "strip/layout.h"
#include "strip/layout_restore.h"
#include "strip/layout_store.h"
#include "strip/saved_layout.h"
#include "strip/strip.h"

namespace {

using namespace vistarail;

// Restoring cost grows with the windows named; real strips hold a few dozen.
constexpr size_t kMaxJoiningWindows = 512;

void check(bool ok) {
  if (!ok) std::abort();
}

void restoreAndLayOut(const SavedStrip& saved) {
  std::vector<JoiningWindow> joining;
  for (const SavedColumn& column : saved.columns) {
    for (WindowId window : column.windows) {
      if (joining.size() >= kMaxJoiningWindows) break;
      joining.push_back({window, Rect(0, 0, 700, 500)});
    }
  }
  joining.push_back({0xFFFFFFF0u, Rect(0, 0, 700, 500)});  // a window the layout does not know
  Strip strip;
  strip.pendingRestore = saved;
  const std::vector<JoiningWindow> rest = applyPendingRestore(strip, joining);
  for (const JoiningWindow& w : rest) strip.insert(Column::single(w.window, 0.5), strip.count());
  check(strip.verifyInvariants());

  const LayoutGeometry geometry{Rect(0, 25, 1440, 875), 8, 8};
  FrameList out;
  frames(strip, geometry, 0, out);
  check(out.size() == strip.allWindows().size());
  carouselFrames(strip, geometry, 0.6, 0.8, VerifiedSizes{}, out);
  check(out.size() == strip.allWindows().size());
  (void)scrollTarget(strip, strip.focusedIndex, geometry, CenterMode::onOverflow, 0);
  (void)mostVisibleColumn(strip, geometry, 0);

  // What was restored saves again.
  sim::MemoryDefaults defaults;
  const ConnectedDisplay primary[] = {{"abc", true}};
  const StripToSave strips[] = {{"abc", 1, &strip}};
  check(saveLayouts(defaults, primary, strips) == SaveOutcome::saved);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const std::optional<SavedLayouts> decoded = decodeSavedLayouts(bytes);
  if (decoded) {
    const std::optional<std::vector<uint8_t>> encoded = encodeSavedLayouts(*decoded);
    check(encoded.has_value());
    check(decodeSavedLayouts(*encoded) == decoded);
  }

  // The same bytes as both the current and the older stored value.
  sim::MemoryDefaults defaults;
  const std::vector<uint8_t> stored(bytes.begin(), bytes.end());
  defaults.setData(kLayoutKey, stored);
  defaults.setData(kLegacyLayoutKey, stored);
  const ConnectedDisplay primary[] = {{"abc", true}};
  const SavedLayouts layouts = loadSavedLayouts(defaults, primary);
  // Both keys hold the same bytes: nothing decodes, or every entry is kept.
  check(decoded ? layouts.size() >= decoded->size() : layouts.empty());
  for (const auto& [key, saved] : layouts) restoreAndLayOut(saved);
  return 0;
}
