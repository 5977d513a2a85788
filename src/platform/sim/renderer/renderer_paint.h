#pragma once
// The drawing steps of Renderer, one per kind of thing on the desktop. All
// sizes are worked out in pixels from the projection, with floors and ceilings
// so that pictures stay legible from thumbnails to full size.

#include <cairo.h>

#include <string>

#include "platform/sim/renderer/renderer_layout.h"
#include "platform/sim/world/scene.h"

namespace vistarail::sim {

struct Rgb {
  double r = 0;
  double g = 0;
  double b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A stable, pleasant tint per application name, so windows of one app match.
Rgb appTint(const std::string& appName);

void paintBackground(cairo_t* cr, int widthPixels, int heightPixels);
void paintDisplay(cairo_t* cr, const SceneDisplay& display, const Projection& projection);
void paintWindow(cairo_t* cr, const SceneWindow& window, const Projection& projection);
void paintSliver(cairo_t* cr, const WindowPiece& piece, const SceneWindow& window);

}  // namespace vistarail::sim
