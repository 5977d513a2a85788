#pragma once
// The cairo steps every picture of the renderer shares: the program's colours
// and rounded rectangles, drawn the same way on the desktop, its panels and
// the settings window.

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "base/geometry.h"
#include "platform/canvas.h"

namespace vistarail::sim {

inline constexpr char kPictureFont[] = "DejaVu Sans";

inline void setColor(cairo_t* cr, const Color& c) {
  cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
}

// A rounded rectangle as a closed sub-path; the radius never exceeds half
// the shorter side.
inline void roundedRectPath(cairo_t* cr, const Rect& r, double radius) {
  const double rr = std::max(0.0, std::min({radius, r.width() / 2, r.height() / 2}));
  cairo_new_sub_path(cr);
  cairo_arc(cr, r.maxX() - rr, r.minY() + rr, rr, -M_PI / 2, 0);
  cairo_arc(cr, r.maxX() - rr, r.maxY() - rr, rr, 0, M_PI / 2);
  cairo_arc(cr, r.minX() + rr, r.maxY() - rr, rr, M_PI / 2, M_PI);
  cairo_arc(cr, r.minX() + rr, r.minY() + rr, rr, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

// Cairo and fontconfig keep font caches for the whole process; every
// picture registers their release at exit, so leak checkers report only the
// program's own memory.
void releaseFontCachesAtExit();

}  // namespace vistarail::sim
