#pragma once
// Scenario values read into the simulator's types: rectangles, sizes, points
// and application behaviours as the scenario format writes them.

#include <nlohmann/json.hpp>

#include "base/geometry.h"
#include "platform/sim/world/world_types.h"

namespace vistarail::simrun {

Rect rectOf(const nlohmann::json& v);
nlohmann::json rectJson(const Rect& r);
Size sizeOf(const nlohmann::json& v);
Point pointOf(const nlohmann::json& v);
sim::Behaviour behaviourOf(const nlohmann::json& b);

}  // namespace vistarail::simrun
