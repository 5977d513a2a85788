#include "platform/x11/frame_geometry.h"

#include <algorithm>

namespace vistarail::x11 {

namespace {
// No window manager draws decorations this thick; a larger value is a
// corrupt property, which must not move every frame by it.
constexpr long kMaxExtent = 1000;
}  // namespace

FrameExtents extentsFromProperty(const std::vector<long>& values) {
  if (values.size() < 4) return {};
  for (size_t i = 0; i < 4; ++i) {
    if (values[i] < 0 || values[i] > kMaxExtent) return {};
  }
  return {static_cast<double>(values[0]), static_cast<double>(values[1]),
          static_cast<double>(values[2]), static_cast<double>(values[3])};
}

Rect frameOfClient(const Rect& client, const FrameExtents& e) {
  return Rect(client.minX() - e.left, client.minY() - e.top, client.width() + e.left + e.right,
              client.height() + e.top + e.bottom);
}

Rect clientForFrame(const Rect& frame, const FrameExtents& e) {
  return Rect(frame.minX() + e.left, frame.minY() + e.top,
              std::max(1.0, frame.width() - e.left - e.right),
              std::max(1.0, frame.height() - e.top - e.bottom));
}

Point configureOriginFor(const Rect& frame, Size client, const FrameExtents& e, int gravity) {
  constexpr int kStatic = 10;
  if (gravity == kStatic) return {frame.minX() + e.left, frame.minY() + e.top};
  if (gravity < 1 || gravity > 9) gravity = 1;
  // Column and row of the gravity in its 3 x 3 grid: 0 west/north, 1 centre, 2 east/south.
  const int column = (gravity - 1) % 3;
  const int row = (gravity - 1) / 3;
  const auto place = [](double frameStart, double frameLength, double clientLength, int cell) {
    if (cell == 0) return frameStart;
    if (cell == 1) return frameStart + (frameLength - clientLength) / 2;
    return frameStart + frameLength - clientLength;
  };
  return {place(frame.minX(), frame.width(), client.width, column),
          place(frame.minY(), frame.height(), client.height, row)};
}

SizeBounds frameSizeBounds(bool hasMinimum, Size clientMinimum, bool hasMaximum, Size clientMaximum,
                           const FrameExtents& e) {
  const auto grow = [&](Size s) {
    return Size{s.width + e.left + e.right, s.height + e.top + e.bottom};
  };
  SizeBounds bounds;
  if (hasMinimum && clientMinimum.width > 0 && clientMinimum.height > 0) {
    bounds.minimum = grow(clientMinimum);
  }
  if (hasMaximum && clientMaximum.width > 0 && clientMaximum.height > 0) {
    bounds.maximum = grow(clientMaximum);
  }
  return bounds;
}

}  // namespace vistarail::x11
