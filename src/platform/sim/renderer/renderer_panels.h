#pragma once
// The program's own overlay panels in the picture: each panel's recorded
// drawing replayed through cairo in the panel's place, scaled with the
// projection and composited at the panel's alpha. Blurred shadows are
// approximated by a few widening translucent copies of the shape.

#include <cairo.h>

#include "platform/sim/renderer/renderer_layout.h"
#include "platform/sim/world/display_list.h"
#include "platform/sim/world/scene.h"

namespace vistarail::sim {

// Draws a display list in view coordinates on the current cairo transform.
void replay(cairo_t* cr, const DisplayList& drawing);
void paintPanel(cairo_t* cr, const ScenePanel& panel, const Projection& projection);

}  // namespace vistarail::sim
