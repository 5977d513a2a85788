#pragma once
// A scenario: a simulated desktop and a story told on it, read from a small
// versioned JSON document (docs/scenarios.md, schema in
// scenarios/scenario.schema.json).
//
// Reading checks everything that can be checked before the run: unknown
// keys, wrong types, and steps that cannot happen (closing a window that was
// never opened or is already gone, launching an application that runs). Every
// problem is reported with the file, the step number and what is wrong; a
// scenario with problems is not run.
//
// Steps keep the JSON they were read from, so a scenario assembled in code
// (the explorer's random stories) is written back out exactly as it runs.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace vistarail::simrun {

using Json = nlohmann::json;

inline constexpr int kScenarioFormat = 1;

struct Step {
  std::string kind;  // the "do" of the step: "open", "close", "wait", ...
  Json source;       // the step as written, "do" included
};

struct Scenario {
  std::string file;  // for messages; may be empty
  Json header;       // every top-level member except "steps"
  std::vector<Step> steps;

  std::string name() const { return header.value("name", std::string()); }
  uint64_t seed() const { return header.value("seed", uint64_t{1}); }
  // The whole document, as it would be written to a file.
  Json toJson() const;
};

struct ScenarioProblem {
  std::string where;  // "steps[3] (close)", "apps[0].behaviour", "" for the document
  std::string what;
};

struct ParsedScenario {
  std::optional<Scenario> scenario;  // absent when there are problems
  std::vector<ScenarioProblem> problems;
  // One line per problem: "FILE: WHERE: WHAT".
  std::string describeProblems(const std::string& file) const;
};

ParsedScenario parseScenario(const Json& document, const std::string& file = "");
ParsedScenario parseScenarioText(const std::string& text, const std::string& file = "");
ParsedScenario readScenarioFile(const std::string& path);

// Key names of "key" steps: "ctrl+opt+left", "ctrl+opt+shift+r".
struct KeyPress {
  uint32_t keyCode = 0;
  uint32_t modifiers = 0;  // hot-key mask bits
};
std::optional<KeyPress> parseKeyPress(const std::string& text);

}  // namespace vistarail::simrun
