#pragma once
// The row of columns one display shows for one Space, and the structural
// operations on it.
//
// Focus bookkeeping is by index: every operation that changes `columns`
// fixes `focusedIndex` up as described at the operation, and leaves it in
// 0 ... count - 1 (0 when empty). Operations never animate; the slide of
// columns into new places is applied around them (see slide_animation.h).
//
// Columns are values stored in a vector, so a Column& or Column* is only
// good until the next change of `columns`; hold a ColumnId across changes.

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/ids.h"
#include "motion/spring.h"
#include "strip/column.h"
#include "strip/drop_target.h"
#include "strip/layout_geometry.h"
#include "strip/saved_strip.h"

namespace vistarail {

using HeightMap = std::unordered_map<WindowId, double>;

struct Strip {
  std::vector<Column> columns;  // left to right
  int focusedIndex = 0;
  Spring scroll;  // the strip x shown at the left edge of the area, points
  // A saved layout waiting for the first windows that join the strip.
  std::optional<SavedStrip> pendingRestore;
  // Heights stacked windows were found to insist on. May name windows that
  // have left the strip.
  HeightMap minHeights;
  // Heights windows keep while alone in a column. May name windows that have
  // left the strip.
  HeightMap preferredHeights;

  // --- Queries
  int count() const { return static_cast<int>(columns.size()); }
  bool empty() const { return columns.empty(); }
  // The column at focusedIndex; null when focusedIndex is out of range.
  const Column* focusedColumn() const;
  Column* focusedColumn();
  // Every window, column by column, each column top to bottom.
  std::vector<WindowId> allWindows() const;
  bool contains(WindowId window) const;
  // Index of the first column holding the window, or of the column with the
  // given identity; absent when there is none.
  std::optional<int> columnIndexOf(WindowId window) const;
  std::optional<int> columnIndexOf(ColumnId column) const;

  // --- Structural operations
  // Inserts at the index clamped to 0 ... count; the focused column stays
  // focused (the first column of an empty strip becomes focused).
  void insert(Column column, int index);
  // Takes the window out of the first column holding it; an emptied column
  // goes too. When the focused column goes, the column sliding into its index
  // (or the new last column) is focused. False when no column holds it.
  bool remove(WindowId window);
  // Moves a column to `to` (clamped); focus follows the same column.
  void moveColumn(int from, int to);
  // Moves the column holding `window` next to the column holding the
  // target's window. False when either is missing or nothing moved.
  bool moveColumnOfWindow(WindowId window, const MinimapDropTarget& target);
  // Moves the focused column's active window to the bottom of the column to
  // its left, where it becomes active; focus follows it.
  bool stackIntoLeft();
  // Moves a window of a stacked column into a new column directly right of
  // it, with the same proportion. Focus follows the window only when it was
  // the focused column's active window.
  bool popOut(WindowId window);
  // Swaps the focused column's active window with its neighbour above
  // (delta -1) or below (delta +1); the moved window stays active.
  bool moveWindowInColumn(int delta);
  // Whether the column's stacked windows fit the usable height given their
  // learned minimum heights (100 points for a window without one).
  bool fitsMinHeights(const Column& column, const LayoutGeometry& geometry) const;
  // Pops bottom windows out of every stack that does not fit, left to right;
  // popped windows end up as columns right of their stack in their former
  // top-to-bottom order. True when anything moved.
  bool enforceMinHeights(const LayoutGeometry& geometry);

  // Sets focusedIndex, clamped to the columns there are.
  void setFocusedIndex(int index);
  void clampFocusedIndex() { setFocusedIndex(focusedIndex); }

  // Checks every structural invariant: no window twice, no empty column,
  // unique column identities, focusedIndex and every activeIndex in range,
  // finite proportions. On failure, says which and where.
  bool verifyInvariants(std::string* why = nullptr) const;

  friend bool operator==(const Strip&, const Strip&) = default;
};

}  // namespace vistarail
