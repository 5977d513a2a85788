#pragma once
// One row of the settings window's picture per kind of control: its height
// for a given width, and its drawing.

#include <span>

#include "platform/sim/renderer/form_paint.h"

namespace vistarail::sim::form {

inline constexpr double kRowPadding = 9;
inline constexpr double kTileHeight = 62;
inline constexpr double kTileMinimumWidth = 66;
inline constexpr double kTileSpacing = 8;

double rowHeight(const Painter& p, const FormControl& control, double width);
void paintRow(const Painter& p, const FormControl& control, const Rect& row);

// Consecutive tiles share one row of the group: an adaptive grid.
double tileGridHeight(size_t count, double width);
void paintTiles(const Painter& p, std::span<const FormControl> tiles, const Rect& area);

}  // namespace vistarail::sim::form
