#pragma once
// Random stories: one seed is one story, exactly. A story uses everything the
// program takes in and everything the simulated desktop can do to it —
// applications that come and go, hang, fail writes, move their windows on
// their own, fight back or open a moved window again; windows opened,
// closed, minimised, dragged by hand, made full screen; Spaces and displays;
// commands from the menu and from the keyboard's hot keys; swipes with
// momentum, Control-Option scrolls, clicks and drags on the minimap; settings
// changed mid-animation; pauses and restarts of the program. The explorer and
// the random-stories test both draw from here.

#include <cstdint>
#include <string>
#include <vector>

#include "sim_runner/scenario.h"

namespace vistarail::simrun {

// The desktop of a seed and `steps` steps (each possible when it is told).
Scenario randomStory(uint64_t seed, int steps, const std::string& plantedFault = "");

// The step kinds the generator draws from.
const std::vector<std::string>& generatedStepKinds();

}  // namespace vistarail::simrun
