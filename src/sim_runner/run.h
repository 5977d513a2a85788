#pragma once
// Running a scenario to the end and writing what happened: the timeline, the
// state at each snapshot and at the end, the stored defaults, a picture per
// snapshot and one HTML page that shows them in order.

#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim_runner/scenario.h"
#include "sim_runner/session.h"

namespace vistarail::simrun {

struct RunOptions {
  std::filesystem::path outDir;  // empty: write nothing
  bool pictures = true;
  bool wholeTrace = false;  // see SessionOptions
  int pictureWidth = 1200;
  std::ostream* progress = nullptr;  // a line now and then on long runs
};

struct RunResult {
  bool completed = false;  // every step ran and every expectation held
  std::string reason;      // one line when not
  std::optional<Violation> violation;
  int violationStep = 0;
  std::vector<std::string> unmetExpectations;
  // The state at each snapshot, and at "end".
  std::map<std::string, nlohmann::json> states;
  std::vector<TimelineEntry> timeline;
};

RunResult runScenario(const Scenario& scenario, const RunOptions& options);

// Each expectation of the list that the states do not meet, described.
std::vector<std::string> unmetExpectations(const nlohmann::json& expect,
                                           const std::map<std::string, nlohmann::json>& states);

// One line of timeline.jsonl.
nlohmann::json timelineJson(const TimelineEntry& entry);

}  // namespace vistarail::simrun
