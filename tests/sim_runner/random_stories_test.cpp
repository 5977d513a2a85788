// Seeded random stories told to the whole program, the explorer's generator
// and checker at a size the test suite can afford: every invariant holds
// after every step, the stories use the generator's whole vocabulary, and
// each fault planted in what the checker reads is caught by the invariant
// meant for it (and the same story without the fault is clean).
//
// A failure names its seed; VISTARAIL_OPS_SEED=n replays that seed alone.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <set>

#include "sim_runner/checker.h"
#include "sim_runner/explore.h"
#include "sim_runner/story_generator.h"

namespace vistarail::simrun {
namespace {

Scenario story(uint64_t seed, int steps, const std::string& fault,
               const std::vector<std::string>& ignored) {
  Scenario s = randomStory(seed, steps, fault);
  s.header["check"]["ignore"] = ignored;
  return s;
}

TEST(RandomStories, EveryInvariantHoldsAfterEveryStep) {
  std::vector<uint64_t> seeds;
  if (const char* only = std::getenv("VISTARAIL_OPS_SEED")) {
    seeds.push_back(std::strtoull(only, nullptr, 10));
  } else {
    for (uint64_t s = 1; s <= 40; ++s) seeds.push_back(s);
  }
  int steps = 0;
  for (uint64_t seed : seeds) {
    const Checked checked = runChecked(story(seed, 150, "", {}), "");
    steps += checked.stepsRun;
    ASSERT_FALSE(checked.violation)
        << "seed " << seed << " step " << checked.step << ": " << checked.violation->invariant
        << ": " << checked.violation->detail;
  }
  std::cout << "checked " << steps << " steps\n";
}

TEST(RandomStories, UseTheWholeVocabulary) {
  std::set<std::string> used;
  bool fights = false, recreates = false;
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    const Scenario story = randomStory(seed, 150);
    // What the explorer writes, the reader takes back.
    const ParsedScenario parsed = parseScenario(story.toJson());
    ASSERT_TRUE(parsed.scenario) << "seed " << seed << ": " << parsed.describeProblems("");
    for (const Step& step : story.steps) {
      used.insert(step.kind);
      if (step.kind != "behave") continue;
      fights |= step.source["behaviour"].value("fights", false);
      recreates |= step.source["behaviour"].value("recreatesWhenMoved", false);
    }
  }
  for (const std::string& kind : generatedStepKinds()) {
    EXPECT_TRUE(used.contains(kind)) << "no story " << kind << "s";
  }
  EXPECT_TRUE(fights) << "no application fights back";
  EXPECT_TRUE(recreates) << "no application opens a moved window again";
}

TEST(RandomStories, EachPlantedFaultIsCaughtByItsInvariant) {
  struct Case {
    const char* fault;
    std::set<std::string> invariants;  // the ones meant to catch it
  };
  const std::vector<Case> cases = {
      {"wrongFrame", {"windowNotAtLayout"}},
      {"focusNotFollowed", {"focusNotFollowed"}},
      {"overlayLeftUp", {"overlayWhilePaused", "overlayOnInactiveDisplay", "minimapLingers"}},
      {"timerLeftRunning", {"timerLeftRunning"}},
      {"staleLayout", {"layoutNotSaved"}},
      {"fourColumns", {"fourColumns"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    // Only the invariants meant for the fault speak, so that another fault
    // cannot stand in for it.
    std::vector<std::string> others;
    for (const std::string& name : checkedInvariants()) {
      if (!c.invariants.contains(name)) others.push_back(name);
    }
    bool caught = false;
    for (uint64_t seed = 1; seed <= 30 && !caught; ++seed) {
      const Checked planted = runChecked(story(seed, 200, c.fault, others), c.fault);
      if (!planted.violation) continue;
      caught = true;
      EXPECT_TRUE(c.invariants.contains(planted.violation->invariant));
      // The same story without the fault passes those invariants.
      const Checked clean = runChecked(story(seed, planted.step, "", others), "");
      EXPECT_FALSE(clean.violation) << "seed " << seed << ": " << clean.violation->invariant
                                    << " fires without the fault: " << clean.violation->detail;
    }
    EXPECT_TRUE(caught) << "30 stories and the fault went unnoticed";
  }
}

}  // namespace
}  // namespace vistarail::simrun
