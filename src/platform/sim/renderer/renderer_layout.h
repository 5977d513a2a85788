#pragma once
// The geometry of a rendered desktop picture: where global points land in
// pixels, and which part of each window can be seen on which display. Kept
// apart from the drawing so it can be checked without decoding pictures.

#include <optional>
#include <vector>

#include "base/geometry.h"
#include "platform/sim/world/scene.h"

namespace vistarail::sim {

// Global points to pixels: a uniform scale and an offset.
struct Projection {
  double pixelsPerPoint = 1;
  Point originPixels;  // where the global point (0, 0) lands
  Point toPixels(Point p) const;
  Rect toPixels(const Rect& r) const;
  friend bool operator==(const Projection&, const Projection&) = default;
};

// Fits the bounds into a canvas, keeping the aspect ratio, centred, with a
// margin on every side (the margin shrinks on canvases too small to hold it).
Projection fitProjection(const Rect& bounds, double widthPixels, double heightPixels,
                         double marginPixels);

// Bounds of every usable display frame; null when there is none.
Rect displayBounds(const Scene& scene);

// A usable rectangle: finite, with positive width and height once standardized.
std::optional<Rect> usableRect(const Rect& r);

enum class SliverSide { none, left, right, top, bottom };

// The part of one window shown on one display, in pixels.
struct WindowPiece {
  Rect pixels;
  Rect displayPixels;
  // Set when the visible part was narrower (or lower) than the minimum and was
  // widened to it; names the display edge the rest of the window lies beyond.
  SliverSide sliver = SliverSide::none;
  friend bool operator==(const WindowPiece&, const WindowPiece&) = default;
};

// One piece per display the window overlaps, in display order. Pieces thinner
// than minimumPixels are widened to it, inside the display, against the edge
// the window continues beyond; that is how a parked window's one-point sliver
// stays visible at any scale.
std::vector<WindowPiece> windowPieces(const Rect& windowFrame,
                                      const std::vector<Rect>& displayFrames,
                                      const Projection& projection, double minimumPixels);

}  // namespace vistarail::sim
