#pragma once
// The "system" member of a scenario: how hard the simulated macOS is (see
// sim::Realism). Reading checks it, the session applies it to the world, and
// the explorer draws one for every random story.
//
//   "system": {"writesLandAtEndOfCall": true,
//              "notifications": {"delay": 0.02, "jitter": 0.03, "coalesce": true, "drop": 0.1},
//              "enhancedUIAnimation": 0.25,
//              "clampSizesToScreen": true,
//              "focus": {"fail": 0.1, "late": 0.15, "steal": 0.05, "stealAfter": 0.05},
//              "displaysShareOneSpace": true}

#include <cstdint>
#include <vector>

#include "platform/sim/world/world_types.h"
#include "sim_runner/scenario.h"

namespace vistarail::simrun {

// Problems of the member, each with where it is ("system.focus.fail").
std::vector<ScenarioProblem> systemProblems(const Json& system);

// The world's Realism for a checked member.
sim::Realism realismOf(const Json& system);

// Makes a random story harder, the same way for the same seed: draws the
// "system" member (each behaviour on for about half the stories), puts some
// applications in enhanced user interface (some refusing to leave it) and
// some windows on all Spaces. The story's steps are not changed, so a seed
// tells the same story with or without it.
void hardenStory(Scenario& story, uint64_t seed);

}  // namespace vistarail::simrun
