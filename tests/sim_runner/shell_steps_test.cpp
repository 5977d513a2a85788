// The steps a person takes with the program itself, read and told by the
// simulator: the Accessibility grant, the status menu, SIGTERM and reopening.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim_runner/run.h"
#include "sim_runner/scenario.h"

namespace vistarail::simrun {
namespace {

using ::testing::HasSubstr;

constexpr const char* kShellDesk =
    R"({"format": 1, "displays": [{"name": "D", "frame": [0, 0, 1440, 900],
                                   "visibleFrame": [0, 25, 1440, 875]}],
        "apps": [{"name": "A", "behaviour": {"latency": 0.02}}],
        "windows": [{"window": "a1", "app": "A", "frame": [40, 60, 800, 500]},
                    {"window": "a2", "app": "A", "frame": [80, 60, 800, 500]},
                    {"window": "a3", "app": "A", "frame": [120, 60, 800, 500]}])";

Scenario parsed(const std::string& rest) {
  const ParsedScenario p = parseScenarioText(std::string(kShellDesk) + rest + "}", "shell.json");
  EXPECT_TRUE(p.scenario) << p.describeProblems("shell.json");
  return p.scenario.value_or(Scenario{});
}

TEST(ShellSteps, StepsThatCannotHappenAreRefusedBeforeTheRun) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {R"(, "steps": [{"do": "menu"}])", "\"choose\""},
      {R"(, "steps": [{"do": "sigterm"}, {"do": "reopen"}])",
       "step 2 (reopen): the program is stopped"},
      {R"(, "steps": [{"do": "menu", "choose": "Quit Vistarail"}, {"do": "sigterm"}])",
       "step 2 (sigterm): the program is stopped"},
      {R"(, "trusted": "no", "steps": [])", "trusted"},
  };
  for (const auto& [body, problem] : cases) {
    const ParsedScenario p = parseScenarioText(std::string(kShellDesk) + body + "}", "shell.json");
    ASSERT_FALSE(p.scenario) << body;
    EXPECT_THAT(p.describeProblems("shell.json"), HasSubstr(problem));
  }
}

TEST(ShellSteps, ASigtermEndsTheProgramOnlyAfterTheParkedWindowsAreBack) {
  const Scenario scenario = parsed(R"J(, "steps": [
      {"do": "snapshot", "name": "before"},
      {"do": "sigterm"},
      {"do": "snapshot", "name": "after"},
      {"do": "start"},
      {"do": "menu", "choose": "Carousel Mode"},
      {"do": "snapshot", "name": "carousel"}],
    "expect": [{"at": "after", "running": false}, {"at": "after", "inView": ["a1", "a2", "a3"]},
               {"at": "before", "icon": "rectangle.split.3x1"},
               {"at": "carousel", "menu": ["(Running \u2014 3 windows on 1 display)", "\u2014",
                  "Pause Vistarail\t\u2303\u2325P", "Re-tile Windows\t\u2303\u2325\u21e7T",
                  "\u2713 Carousel Mode\t\u2303\u2325S", "\u2014", "Mac Setup\u2026", "Settings\u2026",
                  "About Vistarail\u2026", "Check for Updates\u2026", "Privacy Policy\u2026", "\u2014",
                  "Quit Vistarail"]}])J");
  const RunResult result = runScenario(scenario, {});
  EXPECT_TRUE(result.completed) << result.reason;
  int parked = 0;
  for (const auto& w : result.states.at("before")["windows"]) parked += w["parked"].get<bool>();
  EXPECT_EQ(parked, 1);
  // The process was let go only once the restore of the parked window had reported.
  double restoredAt = -1;
  double exitAt = -1;
  for (const TimelineEntry& e : result.timeline) {
    if (e.kind == "restored" && restoredAt < 0) restoredAt = e.time;
    if (e.text == "the process may exit") exitAt = e.time;
  }
  ASSERT_GT(restoredAt, 0);
  EXPECT_GE(exitAt, restoredAt);
}

TEST(ShellSteps, AnUnmetExpectationOnTheProgramSaysWhatItShows) {
  const Scenario scenario =
      parsed(R"(, "trusted": false, "steps": [{"do": "snapshot", "name": "s"}],
    "expect": [{"at": "s", "icon": "rectangle.split.3x1"},
               {"at": "s", "status": "Waiting for Accessibility permission"},
               {"at": "end", "settingsTab": "general"}])");
  const RunResult result = runScenario(scenario, {});
  EXPECT_FALSE(result.completed);
  EXPECT_THAT(
      result.unmetExpectations,
      ::testing::ElementsAre(HasSubstr("the icon is \"rectangle.split.3x1.slash\", expected "
                                       "\"rectangle.split.3x1\""),
                             HasSubstr("the settings tab is missing, expected \"general\"")));
}

}  // namespace
}  // namespace vistarail::simrun
