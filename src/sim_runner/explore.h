#pragma once
// Seeded simulation testing: random stories with faults, told to the whole
// program, with the invariants checked after every step. One seed is one
// story, exactly; a failure is shrunk (delta debugging over the steps) to the
// fewest steps that still break the same invariant and written as a scenario
// that `vistarail-sim run` replays.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim_runner/scenario.h"
#include "sim_runner/session.h"
#include "sim_runner/story_generator.h"

namespace vistarail::simrun {

struct ExploreOptions {
  uint64_t firstSeed = 1;
  uint64_t seeds = 1;
  int steps = 200;
  std::filesystem::path outDir = "out/explore";
  std::string plantedFault;  // see SessionOptions
  // Invariants not reported, so that a known fault does not hide the others.
  std::vector<std::string> ignored;
  bool shrink = true;
  int maxShrinkRuns = 400;
  std::ostream* progress = nullptr;
};

struct ExploreFailure {
  uint64_t seed = 0;
  int step = 0;  // 1-based, in the original story
  Violation violation;
  size_t originalSteps = 0;
  Scenario shrunk;
  std::filesystem::path file;  // where the shrunk scenario was written
};

struct ExploreResult {
  uint64_t seedsRun = 0;
  uint64_t stepsChecked = 0;
  double simulatedSeconds = 0;
  std::optional<ExploreFailure> failure;
};

// Runs the story with the checker after every step: the first violation and
// its step, if any. stepsRun counts the steps told.
struct Checked {
  std::optional<Violation> violation;
  int step = 0;
  int stepsRun = 0;
  double simulatedSeconds = 0;
};
Checked runChecked(const Scenario& story, const std::string& plantedFault);

// The fewest steps (found by delta debugging) that still break `invariant`.
Scenario shrinkStory(const Scenario& story, const std::string& invariant,
                     const std::string& plantedFault, int maxRuns);

ExploreResult explore(const ExploreOptions& options);

// The seed and step being explored now, for a crash handler.
struct ExploreCursor {
  volatile uint64_t seed = 0;
  volatile int step = 0;
};
ExploreCursor& exploreCursor();

}  // namespace vistarail::simrun
