#include "strip/width_presets.h"

#include <cmath>
#include <optional>

namespace vistarail {

double cyclePresetProportion(std::span<const double> presets, double current,
                             CycleDirection direction) {
  // One pass: the nearest preset past the tolerance in the chosen direction,
  // and the preset to wrap to (the smallest going forward, the largest going
  // back). No sorted copy is needed.
  std::optional<double> next;
  std::optional<double> wrap;
  for (double p : presets) {
    if (!std::isfinite(p)) continue;
    if (direction == CycleDirection::forward) {
      if (p > current + kPresetTolerance && (!next || p < *next)) next = p;
      if (!wrap || p < *wrap) wrap = p;
    } else {
      if (p < current - kPresetTolerance && (!next || p > *next)) next = p;
      if (!wrap || p > *wrap) wrap = p;
    }
  }
  if (next) return *next;
  if (wrap) return *wrap;
  return current;
}

}  // namespace vistarail
