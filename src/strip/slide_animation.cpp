#include "strip/slide_animation.h"

#include <algorithm>

#include "strip/layout.h"

namespace vistarail {

SlideOrigins SlideOrigins::capture(const Strip& strip, const LayoutGeometry& geometry) {
  SlideOrigins result;
  const std::vector<double> xs = columnXPositions(strip, geometry);
  result.origins_.reserve(xs.size());
  for (int i = 0; i < strip.count(); ++i) {
    const Column& column = strip.columns[i];
    result.origins_.push_back({column.id(), xs[i] + column.offset.value});
  }
  std::sort(result.origins_.begin(), result.origins_.end(),
            [](const Origin& a, const Origin& b) { return a.column < b.column; });
  return result;
}

void SlideOrigins::apply(Strip& strip, const LayoutGeometry& geometry,
                         const SlideSettings& settings) const {
  strip.clampFocusedIndex();
  const bool slide = settings.animations && !settings.carouselMode;
  const std::vector<double> xs = columnXPositions(strip, geometry);
  for (int i = 0; i < strip.count(); ++i) {
    Column& column = strip.columns[i];
    const auto it =
        std::lower_bound(origins_.begin(), origins_.end(), column.id(),
                         [](const Origin& origin, ColumnId id) { return origin.column < id; });
    const bool existed = it != origins_.end() && it->column == column.id();
    if (slide && existed) {
      // Velocity is kept: a column already sliding carries on smoothly.
      column.offset.value = it->drawnX - xs[i];
      column.offset.target = 0;
    } else {
      column.offset = Spring{};
    }
  }
}

}  // namespace vistarail
