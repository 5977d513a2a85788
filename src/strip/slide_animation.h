#pragma once
// Columns that change places slide there instead of jumping: before a
// structural change each column's drawn position is noted by identity, and
// afterwards every column that existed before gets an offset that puts it
// back where it was drawn, springing to 0 from there.
//
// The wrapper neither scrolls nor lays out; the caller does both afterwards.

#include <type_traits>
#include <utility>
#include <vector>

#include "strip/column.h"
#include "strip/layout_geometry.h"
#include "strip/strip.h"

namespace vistarail {

// The two settings the slide reads.
struct SlideSettings {
  bool animations = true;     // off: columns jump to their places
  bool carouselMode = false;  // on: carousel frames ignore offsets, so none is kept
  friend bool operator==(const SlideSettings&, const SlideSettings&) = default;
};

// Where each column was drawn: strip x plus its current offset, by identity.
class SlideOrigins {
 public:
  static SlideOrigins capture(const Strip& strip, const LayoutGeometry& geometry);
  // Clamps the focus, then gives every column its new offset.
  void apply(Strip& strip, const LayoutGeometry& geometry, const SlideSettings& settings) const;

 private:
  struct Origin {
    ColumnId column;
    double drawnX;
  };
  std::vector<Origin> origins_;  // sorted by column id
};

// Runs change(strip) (any of the structural operations, possibly several) so
// that columns slide from their old to their new places. Returns what the
// change returns.
template <class Change>
decltype(auto) animatedMutation(Strip& strip, const LayoutGeometry& geometry,
                                const SlideSettings& settings, Change&& change) {
  const SlideOrigins origins = SlideOrigins::capture(strip, geometry);
  if constexpr (std::is_void_v<std::invoke_result_t<Change&&, Strip&>>) {
    std::forward<Change>(change)(strip);
    origins.apply(strip, geometry, settings);
  } else {
    auto result = std::forward<Change>(change)(strip);
    origins.apply(strip, geometry, settings);
    return result;
  }
}

}  // namespace vistarail
