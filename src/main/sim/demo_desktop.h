#pragma once
// A believable desktop to look at before anything arranges it: two displays
// side by side, a few applications with their windows, a floating panel, and
// one window parked off the right display so that only a sliver of it shows.

#include "platform/sim/world/world.h"

namespace vistarail::sim {

void buildDemoDesktop(World& world);
// What the user does once the window manager runs: opens another window,
// which lands right of the focused one.
void buildDemoFollowUp(World& world);

}  // namespace vistarail::sim
