#pragma once
// Stepping a column's width through the preset proportions.

#include <span>

namespace vistarail {

enum class CycleDirection { forward, backward };

// Within this of a preset, a column counts as being at that preset.
inline constexpr double kPresetTolerance = 0.01;

// The next preset in ascending order after `current` (forward) or before it
// (backward), wrapping around at either end; a column already at a preset
// moves on to the next one. The presets may come in any order; an empty list
// (or one without any finite value) leaves `current` as it is.
double cyclePresetProportion(std::span<const double> presets, double current,
                             CycleDirection direction);

}  // namespace vistarail
