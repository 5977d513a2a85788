// Seeded random stories told to the whole program, the explorer's generator
// and checker at a size the test suite can afford: every invariant holds
// after every step, the stories use the generator's whole vocabulary, and
// each planted fault is caught by the invariant meant for it.
//
// A failure names its seed; VISTARAIL_OPS_SEED=n replays that seed alone.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <set>

#include "sim_runner/explore.h"
#include "sim_runner/story_generator.h"

namespace vistarail::simrun {
namespace {

TEST(RandomStories, EveryInvariantHoldsAfterEveryStep) {
  std::vector<uint64_t> seeds;
  if (const char* only = std::getenv("VISTARAIL_OPS_SEED")) {
    seeds.push_back(std::strtoull(only, nullptr, 10));
  } else {
    for (uint64_t s = 1; s <= 40; ++s) seeds.push_back(s);
  }
  int steps = 0;
  for (uint64_t seed : seeds) {
    const Checked checked = runChecked(randomStory(seed, 150), "");
    steps += checked.stepsRun;
    ASSERT_FALSE(checked.violation)
        << "seed " << seed << " step " << checked.step << ": " << checked.violation->invariant
        << ": " << checked.violation->detail;
  }
  std::cout << "checked " << steps << " steps\n";
}

TEST(RandomStories, UseTheWholeVocabulary) {
  std::set<std::string> used;
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    for (const Step& step : randomStory(seed, 150).steps) used.insert(step.kind);
  }
  for (const std::string& kind : generatedStepKinds()) {
    EXPECT_TRUE(used.contains(kind)) << "no story " << kind << "s";
  }
  // Applications that fight back or open moved windows again come up too.
  bool fights = false, recreates = false;
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    for (const Step& step : randomStory(seed, 150).steps) {
      if (step.kind != "behave") continue;
      fights |= step.source["behaviour"].value("fights", false);
      recreates |= step.source["behaviour"].value("recreatesWhenMoved", false);
    }
  }
  EXPECT_TRUE(fights);
  EXPECT_TRUE(recreates);
}

// Each fault planted in what the checker reads is caught, by its invariant.
TEST(RandomStories, EachPlantedFaultIsCaughtByItsInvariant) {
  struct Case {
    const char* fault;
    std::set<std::string> invariants;  // any of them names the fault
  };
  const std::vector<Case> cases = {
      {"wrongFrame", {"windowNotAtLayout", "framesWrittenWhileSettled"}},
      {"focusNotFollowed", {"focusNotFollowed"}},
      {"overlayLeftUp", {"overlayWhilePaused", "overlayOnInactiveDisplay", "minimapLingers"}},
      {"timerLeftRunning", {"timerLeftRunning", "framesWrittenWhileSettled"}},
      {"fourColumns", {"fourColumns"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    std::optional<Checked> caught;
    for (uint64_t seed = 1; seed <= 30 && !caught; ++seed) {
      Checked checked = runChecked(randomStory(seed, 200, c.fault), c.fault);
      if (checked.violation) caught = checked;
    }
    ASSERT_TRUE(caught) << "30 stories and no invariant noticed";
    EXPECT_TRUE(c.invariants.contains(caught->violation->invariant))
        << caught->violation->invariant << ": " << caught->violation->detail;
  }
}

}  // namespace
}  // namespace vistarail::simrun
