#pragma once
// The description of a strip the overlays get, built from the strip and its
// display's geometry; the manager fills in the window labels.

#include <functional>

#include "overlays/strip_snapshot.h"
#include "strip/layout_geometry.h"
#include "strip/strip.h"

namespace vistarail {

// Fills in the label of a window. It writes over the label the snapshot held
// for that place the last time, so unchanged titles cost no allocation.
using WindowLabeler = std::function<void(WindowId, StripSnapshot::WindowLabel&)>;

// scroll: the strip's scroll now (in carousel mode, where the normal layout
// would centre the focused column).
void buildStripSnapshot(const Strip& strip, const LayoutGeometry& geometry, double scroll,
                        const WindowLabeler& labelOf, StripSnapshot& out);

}  // namespace vistarail
