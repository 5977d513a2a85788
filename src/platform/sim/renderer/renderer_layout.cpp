#include "platform/sim/renderer/renderer_layout.h"

#include <algorithm>
#include <cmath>

namespace vistarail::sim {

namespace {

bool finite(const Rect& r) {
  return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
         std::isfinite(r.size.height);
}

// Widens [min, max) to at least `minimum`, staying inside [lo, hi), pressed
// against the side the whole extends beyond.
struct Span {
  double min;
  double max;
};

Span widen(Span part, Span limit, bool beyondLow, bool beyondHigh, double minimum) {
  const double room = limit.max - limit.min;
  const double want = std::min(minimum, room);
  if (part.max - part.min >= want) return part;
  if (beyondHigh && !beyondLow) return {limit.max - want, limit.max};
  if (beyondLow && !beyondHigh) return {limit.min, limit.min + want};
  const double mid = (part.min + part.max) / 2;
  const double lo = std::clamp(mid - want / 2, limit.min, limit.max - want);
  return {lo, lo + want};
}

}  // namespace

Point Projection::toPixels(Point p) const {
  return {originPixels.x + p.x * pixelsPerPoint, originPixels.y + p.y * pixelsPerPoint};
}

Rect Projection::toPixels(const Rect& r) const {
  const Rect s = r.standardized();
  const Point o = toPixels(s.origin);
  return Rect(o.x, o.y, s.size.width * pixelsPerPoint, s.size.height * pixelsPerPoint);
}

Projection fitProjection(const Rect& bounds, double widthPixels, double heightPixels,
                         double marginPixels) {
  const auto usable = usableRect(bounds);
  if (!usable || widthPixels <= 0 || heightPixels <= 0) {
    return {1, {widthPixels / 2, heightPixels / 2}};
  }
  const double margin = std::clamp(marginPixels, 0.0, std::min(widthPixels, heightPixels) / 4);
  const double scale = std::min((widthPixels - 2 * margin) / usable->width(),
                                (heightPixels - 2 * margin) / usable->height());
  const double usedWidth = usable->width() * scale;
  const double usedHeight = usable->height() * scale;
  const double left = (widthPixels - usedWidth) / 2;
  const double top = (heightPixels - usedHeight) / 2;
  return {scale, {left - usable->minX() * scale, top - usable->minY() * scale}};
}

std::optional<Rect> usableRect(const Rect& r) {
  if (r.isNull() || !finite(r)) return std::nullopt;
  const Rect s = r.standardized();
  if (!(s.size.width > 0) || !(s.size.height > 0)) return std::nullopt;
  return s;
}

Rect displayBounds(const Scene& scene) {
  Rect bounds = Rect::null();
  for (const auto& display : scene.displays) {
    if (auto frame = usableRect(display.frame)) bounds = bounds.unionWith(*frame);
  }
  return bounds;
}

std::vector<WindowPiece> windowPieces(const Rect& windowFrame,
                                      const std::vector<Rect>& displayFrames,
                                      const Projection& projection, double minimumPixels) {
  std::vector<WindowPiece> pieces;
  const auto window = usableRect(windowFrame);
  if (!window) return pieces;
  for (const Rect& displayFrame : displayFrames) {
    const auto display = usableRect(displayFrame);
    if (!display) continue;
    const Rect shown = window->intersection(*display);
    if (shown.isNull()) continue;
    const Rect shownPx = projection.toPixels(shown);
    const Rect displayPx = projection.toPixels(*display);
    const bool beyondLeft = window->minX() < display->minX();
    const bool beyondRight = window->maxX() > display->maxX();
    const bool beyondTop = window->minY() < display->minY();
    const bool beyondBottom = window->maxY() > display->maxY();
    const Span x = widen({shownPx.minX(), shownPx.maxX()}, {displayPx.minX(), displayPx.maxX()},
                         beyondLeft, beyondRight, minimumPixels);
    const Span y = widen({shownPx.minY(), shownPx.maxY()}, {displayPx.minY(), displayPx.maxY()},
                         beyondTop, beyondBottom, minimumPixels);
    WindowPiece piece{Rect(x.min, y.min, x.max - x.min, y.max - y.min), displayPx,
                      SliverSide::none};
    if (shownPx.width() < minimumPixels) {
      piece.sliver = beyondLeft && !beyondRight ? SliverSide::left : SliverSide::right;
    } else if (shownPx.height() < minimumPixels) {
      piece.sliver = beyondTop && !beyondBottom ? SliverSide::top : SliverSide::bottom;
    }
    pieces.push_back(piece);
  }
  return pieces;
}

}  // namespace vistarail::sim
