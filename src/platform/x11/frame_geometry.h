#pragma once
// A client window's frame as the program sees it: the client's own rectangle
// grown by the window manager's decorations (_NET_FRAME_EXTENTS), and back.
// A frame written by the program is a request for the decorated window; the
// client is asked for the rectangle inside the decorations.

#include <cstdint>
#include <vector>

#include "base/geometry.h"

namespace vistarail::x11 {

struct FrameExtents {
  double left = 0;
  double right = 0;
  double top = 0;
  double bottom = 0;
  friend bool operator==(const FrameExtents&, const FrameExtents&) = default;
};

// The property's four CARDINALs (left, right, top, bottom); anything else
// (absent, short, absurd) reads as no decorations.
FrameExtents extentsFromProperty(const std::vector<long>& values);

Rect frameOfClient(const Rect& client, const FrameExtents& extents);
// The client rectangle that fills the frame; never narrower than one pixel.
Rect clientForFrame(const Rect& frame, const FrameExtents& extents);

// The position to ask for in a configure request so that the window manager
// puts the frame at frame.origin. ICCCM reads the request by the client's
// window gravity (X's numbering: 1 north-west ... 9 south-east, 10 static):
// the point of the client's rectangle the gravity names stays where the
// request put it, and the frame is laid around it; static gravity means the
// client's own corner. Unknown gravities count as north-west, the default.
Point configureOriginFor(const Rect& frame, Size clientSize, const FrameExtents& extents,
                         int gravity);

// The minimum and maximum sizes a client's WM_NORMAL_HINTS allow, as frame
// sizes. Absent bounds are 0 (minimum) and unbounded (maximum).
struct SizeBounds {
  Size minimum{0, 0};
  Size maximum{0, 0};  // 0: unbounded
  bool isFixed() const { return maximum.width > 0 && maximum.height > 0 && minimum == maximum; }
};
SizeBounds frameSizeBounds(bool hasMinimum, Size clientMinimum, bool hasMaximum, Size clientMaximum,
                           const FrameExtents& extents);

}  // namespace vistarail::x11
