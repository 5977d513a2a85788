#pragma once
// One column of a strip: a window, or several stacked top to bottom that
// share the column's width.
//
// A column is a value with an identity: `id()` is unique in the process and
// survives every move of the column inside its strip, so per-column state
// that must follow a column (the slide animation, a column held across a
// change of the strip) is keyed by it rather than by index or address.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/ids.h"
#include "motion/spring.h"

namespace vistarail {

using ColumnId = uint64_t;

struct Column {
  // A new column with these windows, the first one active, no remembered
  // full-width proportion and its slide offset at rest.
  Column(std::vector<WindowId> windows, double proportion);
  static Column single(WindowId window, double proportion) { return Column({window}, proportion); }

  std::vector<WindowId> windows;  // top to bottom
  int activeIndex = 0;            // the last focused window
  double proportion = 0;          // width as a fraction of the usable width
  std::optional<double> proportionBeforeFullWidth;
  Spring offset;  // horizontal displacement while sliding to a new place, points

  ColumnId id() const { return id_; }

  // The index activeWindow() reads: activeIndex, or 0 (the first window) when
  // activeIndex is out of range. Everything that reads the active window goes
  // through here.
  int activePosition() const;
  // The window at activePosition(); absent only for an empty column.
  std::optional<WindowId> activeWindow() const;
  // Inline: every membership test of a strip runs it once per column.
  bool contains(WindowId window) const {
    return std::find(windows.begin(), windows.end(), window) != windows.end();
  }
  int count() const { return static_cast<int>(windows.size()); }
  // Removes every occurrence of the window. The active window stays active
  // when it survives; otherwise the window that moved up into its slot (or
  // the new last window) becomes active.
  void remove(WindowId window);

  friend bool operator==(const Column&, const Column&) = default;

 private:
  ColumnId id_;
};

}  // namespace vistarail
