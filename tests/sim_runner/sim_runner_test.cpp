// The scenario runner and the explorer: every scenario of the library meets
// its expectations, broken files are refused with the place and the reason,
// a run is byte-for-byte repeatable, and a planted fault is caught and shrunk
// into a file that replays it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/temp_folder.h"
#include "sim_runner/explore.h"
#include "sim_runner/run.h"
#include "sim_runner/scenario.h"

namespace vistarail::simrun {
namespace {

namespace fs = std::filesystem;

// Under a folder of this process's own, removed when it ends: two runs of
// the suite at once (a build and CI on one machine) must not clear each
// other's files.
fs::path scratch(const std::string& name) {
  static const sim::test::TempFolder root;
  const fs::path dir = root / name;
  fs::remove_all(dir);
  return dir;
}

std::string contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ScenarioLibrary, EveryScenarioMeetsItsExpectations) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(VISTARAIL_SCENARIOS)) {
    if (entry.path().extension() != ".json" || entry.path().filename() == "scenario.schema.json")
      continue;
    ++count;
    SCOPED_TRACE(entry.path().filename().string());
    const ParsedScenario parsed = readScenarioFile(entry.path().string());
    ASSERT_TRUE(parsed.scenario) << parsed.describeProblems(entry.path().string());
    EXPECT_TRUE(parsed.scenario->header.contains("expect"))
        << "a scenario of the library checks something";
    const RunResult result = runScenario(*parsed.scenario, {});
    EXPECT_TRUE(result.completed) << result.reason;
  }
  EXPECT_GE(count, 6);
}

constexpr const char* kDesk =
    R"("format": 1, "displays": [{"name": "D", "frame": [0, 0, 1440, 900]}],
  "apps": [{"name": "A"}, {"name": "B", "launched": false}])";

TEST(ScenarioFormat, BrokenFilesNameThePlaceAndTheProblem) {
  struct Case {
    std::string body;   // after the desk
    std::string where;  // expected in the message
    std::string what;
  };
  const std::vector<Case> cases = {
      {R"(, "steps": [], "colour": 1)", "broken.json: unknown", "unknown key \"colour\""},
      {R"(, "steps": [{"do": "wait", "seconds": -1}])", "step 1 (wait)", "0 or more"},
      {R"(, "steps": [{"do": "close", "window": "ghost"}])", "step 1 (close)",
       "no open window is named \"ghost\""},
      {R"(, "steps": [{"do": "wait", "seconds": 1}, {"do": "fly"}])", "step 2",
       "\"fly\" is not a step"},
      {R"(, "steps": [{"do": "open", "window": "w", "app": "B"}])", "step 1 (open)",
       "\"B\" is not running"},
      {R"(, "steps": [{"do": "open", "window": "w", "app": "A", "frame": [0, 0, 10]}])",
       "step 1 (open).frame", "[x, y, width, height]"},
      {R"(, "steps": [{"do": "action", "action": "jump"}])", "step 1 (action).action",
       "names no action"},
      {R"(, "steps": [{"do": "key", "keys": "ctrl+opt+banana"}])", "step 1 (key).keys",
       "keys like"},
      {R"(, "steps": [{"do": "set", "setting": "centerMode", "value": "sometimes"}])",
       "step 1 (set)", "\"onOverflow\""},
      {R"(, "steps": [], "settings": {"gap": 3})", "settings.gap", "\"gap\" is not a setting"},
      {R"(, "steps": [{"do": "unplug", "display": "D"}])", "step 1 (unplug)", "last display"},
      {R"(, "steps": [{"do": "start"}])", "step 1 (start)", "already running"},
      {R"(, "steps": [{"do": "behave", "app": "A", "behaviour": {"faults": [{"error": "oops"}]}}])",
       "step 1 (behave).behaviour.faults[0].error", "accessibility error"},
      {R"(, "steps": [], "expect": [{"focused": "w", "tiled": ["w"]}])", "expect[0]",
       "exactly one"},
      {R"(, "steps": [{"do": "scroll", "point": [1, 2]}])", "step 1 (scroll)",
       "missing \"deltas\""},
      {R"(, "steps": [{"do": "swipe", "fingers": 0}])", "step 1 (swipe).fingers", "1 or more"},
      {R"(, "steps": [{"do": "press", "keys": "ctrl+opt+nothing"}])", "step 1 (press).keys",
       "keys like"},
      {R"(, "steps": [{"do": "minimapDrop", "display": "D", "window": "w"}])",
       "step 1 (minimapDrop)", "missing \"target\""},
      {R"(, "steps": [{"do": "handDrag", "window": "ghost", "frame": [0, 0, 10, 10]}])",
       "step 1 (handDrag)", "no open window is named \"ghost\""},
      {R"(, "steps": [{"do": "store", "value": 1}])", "step 1 (store)", "missing \"key\""},
      {R"(, "steps": [{"do": "behave", "app": "A", "behaviour": {"fights": "yes"}}])",
       "step 1 (behave).behaviour.fights", "true or false"},
      {R"(, "steps": [], "check": {"plant": 3})", "check.plant", "non-empty string"},
      {R"(, "steps": [], "check": {"plant": "gremlins"})", "check.plant",
       "no fault is called \"gremlins\""},
      {R"(, "steps": [], "check": {"ignore": "windowNotAtLayout"})", "check.ignore",
       "list of invariant names"},
  };
  for (const Case& c : cases) {
    const ParsedScenario parsed =
        parseScenarioText(std::string("{") + kDesk + c.body + "}", "broken.json");
    ASSERT_FALSE(parsed.scenario) << c.body;
    const std::string message = parsed.describeProblems("broken.json");
    EXPECT_NE(message.find("broken.json: "), std::string::npos) << message;
    EXPECT_NE(message.find(c.where), std::string::npos) << message;
    EXPECT_NE(message.find(c.what), std::string::npos) << message;
  }
  const ParsedScenario notJson = parseScenarioText("{\"format\": 1,", "cut.json");
  ASSERT_FALSE(notJson.scenario);
  EXPECT_NE(notJson.describeProblems("cut.json").find("not JSON"), std::string::npos);
  EXPECT_FALSE(
      parseScenarioText(std::string("{") + kDesk + R"(, "format": 2, "steps": []})").scenario);
}

TEST(ScenarioRun, TheSameScenarioTwiceWritesTheSameBytes) {
  const ParsedScenario parsed =
      readScenarioFile(std::string(VISTARAIL_SCENARIOS) + "/morning.json");
  ASSERT_TRUE(parsed.scenario);
  const fs::path first = scratch("first"), second = scratch("second");
  ASSERT_TRUE(runScenario(*parsed.scenario, {.outDir = first}).completed);
  ASSERT_TRUE(runScenario(*parsed.scenario, {.outDir = second}).completed);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(first)) {
    ++files;
    EXPECT_EQ(contents(entry.path()), contents(second / entry.path().filename()))
        << entry.path().filename();
  }
  // Timeline, states (end and three snapshots), pictures, defaults, report.
  EXPECT_GE(files, 12);
  const std::string report = contents(first / "report.html");
  EXPECT_NE(report.find("data:image/png;base64,"), std::string::npos);
  EXPECT_NE(contents(first / "timeline.jsonl").find("\"kind\":\"reconcile\""), std::string::npos);
  fs::remove_all(first);
  fs::remove_all(second);
}

TEST(Explore, APlantedFaultIsCaughtShrunkAndReplayed) {
  const fs::path out = scratch("explore");
  ExploreOptions options;
  options.seeds = 5;
  options.steps = 120;
  options.outDir = out;
  options.plantedFault = "fourColumns";
  const ExploreResult result = explore(options);
  ASSERT_TRUE(result.failure);
  EXPECT_EQ(result.failure->violation.invariant, "fourColumns");
  // Two windows exist at the start: two more opened are all it takes, plus
  // the time and the odd step the shrinker could not prove needless.
  EXPECT_LE(result.failure->shrunk.steps.size(), 10u);
  EXPECT_LT(result.failure->shrunk.steps.size(), result.failure->originalSteps);
  // The desktop loses what the failure does without (the external display,
  // the applications that open nothing), and waits are cut short.
  const Json& header = result.failure->shrunk.header;
  EXPECT_EQ(header["displays"].size(), 1u);
  EXPECT_LT(header["apps"].size(), 6u);
  for (const Step& step : result.failure->shrunk.steps) {
    if (step.kind == "wait") {
      EXPECT_LE(step.source["seconds"].get<double>(), 1.0);
    }
  }

  const ParsedScenario replay = readScenarioFile(result.failure->file.string());
  ASSERT_TRUE(replay.scenario) << replay.describeProblems(result.failure->file.string());
  const RunResult run = runScenario(*replay.scenario, {});
  EXPECT_FALSE(run.completed);
  ASSERT_TRUE(run.violation);
  EXPECT_EQ(run.violation->invariant, "fourColumns");
  fs::remove_all(out);
}

TEST(Explore, TheSameSeedTellsTheSameStory) {
  EXPECT_EQ(randomStory(42, 80).toJson(), randomStory(42, 80).toJson());
  EXPECT_NE(randomStory(42, 80).toJson(), randomStory(43, 80).toJson());
  const Checked once = runChecked(randomStory(7, 150), "");
  const Checked again = runChecked(randomStory(7, 150), "");
  EXPECT_EQ(once.stepsRun, again.stepsRun);
  EXPECT_EQ(once.simulatedSeconds, again.simulatedSeconds);
}

}  // namespace
}  // namespace vistarail::simrun
