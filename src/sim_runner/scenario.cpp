#include "sim_runner/scenario.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "app/settings_table.h"
#include "input/action.h"
#include "input/key_combo.h"
#include "platform/ax_types.h"
#include "settings_ui/settings_tab.h"
#include "sim_runner/planted_ports.h"
#include "sim_runner/scenario_schema.h"
#include "sim_runner/step_kinds.h"
#include "sim_runner/story_model.h"
#include "sim_runner/system_model.h"

namespace vistarail::simrun {

namespace {

using T = ValueType;

std::string stepWhere(size_t index, const std::string& kind) {
  return "step " + std::to_string(index + 1) + (kind.empty() ? "" : " (" + kind + ")");
}

std::vector<Member> withCommon(std::vector<Member> members) {
  members.push_back({"do", T::string, true});
  members.push_back({"at", T::seconds, false});
  members.push_back({"note", T::string, false});
  return members;
}

}  // namespace

Json Scenario::toJson() const {
  Json doc = header;
  Json steps_ = Json::array();
  for (const Step& s : steps) steps_.push_back(s.source);
  doc["steps"] = std::move(steps_);
  return doc;
}

std::string ParsedScenario::describeProblems(const std::string& file) const {
  std::string text;
  for (const auto& p : problems) {
    text += (file.empty() ? std::string("scenario") : file) + ": " +
            (p.where.empty() ? "" : p.where + ": ") + p.what + "\n";
  }
  return text;
}

// --- Reading -------------------------------------------------------------------

ParsedScenario parseScenario(const Json& document, const std::string& file) {
  ParsedScenario result;
  SchemaChecker c;
  if (!c.members(document, headerMembers(), "")) {
    result.problems = c.problems;
    return result;
  }
  if (document.contains("format") && document["format"] != kScenarioFormat) {
    c.problem("format", "this program reads format " + std::to_string(kScenarioFormat));
  }
  if (document.contains("displays") &&
      (!document["displays"].is_array() || document["displays"].empty())) {
    c.problem("displays", "should be a list of at least one display");
  } else {
    c.list(document, "displays", displayMembers());
  }
  c.list(document, "apps", appMembers());
  std::vector<Member> windowMembers = findStepKind("open")->members;
  c.list(document, "windows", windowMembers);
  if (document.contains("settings") && document["settings"].is_object()) {
    for (const auto& [property, value] : document["settings"].items()) {
      if (auto wrong = checkSetting(property, value)) c.problem("settings." + property, *wrong);
    }
  }
  if (document.contains("check") && c.members(document["check"], checkMembers(), "check")) {
    const Json& check = document["check"];
    const auto& faults = plantableFaults();
    if (check.contains("plant") && check["plant"].is_string() &&
        std::find(faults.begin(), faults.end(), check["plant"].get<std::string>()) ==
            faults.end()) {
      c.problem("check.plant", "no fault is called \"" + check["plant"].get<std::string>() + "\"");
    }
    if (check.contains("ignore") &&
        (!check["ignore"].is_array() ||
         !std::all_of(check["ignore"].begin(), check["ignore"].end(),
                      [](const Json& name) { return name.is_string(); }))) {
      c.problem("check.ignore", "should be a list of invariant names");
    }
  }
  if (document.contains("system")) {
    for (auto& problem : systemProblems(document["system"])) c.problems.push_back(problem);
  }
  if (document.contains("expect")) {
    const Json& expect = document["expect"];
    if (!expect.is_array()) {
      c.problem("expect", "should be a list");
    } else {
      for (size_t i = 0; i < expect.size(); ++i) {
        const std::string where = "expect[" + std::to_string(i) + "]";
        const Json& e = expect[i];
        if (!e.is_object()) {
          c.problem(where, "should be an object");
          continue;
        }
        int kinds = 0;
        for (const auto& [key, value] : e.items()) {
          if (key == "at" || key == "display" || key == "note" || key == "shows") continue;
          if (std::find(expectKinds().begin(), expectKinds().end(), key) == expectKinds().end()) {
            c.problem(where, "unknown key \"" + key + "\"");
          } else {
            ++kinds;
          }
        }
        if (kinds != 1)
          c.problem(where,
                    "should hold exactly one of columns, focused, tiled, floating, inView, parked, "
                    "onDisplay, running");
      }
    }
  }
  if (!c.problems.empty()) {
    result.problems = c.problems;
    return result;
  }

  Scenario scenario;
  scenario.file = file;
  scenario.header = document;
  scenario.header.erase("steps");
  StoryModel model = StoryModel::fromHeader(scenario.header);
  // Names must be unique and initial windows must belong to launched apps.
  std::set<std::string> names;
  for (const auto& [name, d] : model.displays) {
    if (!names.insert("d:" + name).second)
      c.problem("displays", "two displays are named \"" + name + "\"");
  }
  for (const auto& [name, a] : model.apps) {
    if (!names.insert("a:" + name).second)
      c.problem("apps", "two applications are named \"" + name + "\"");
  }
  for (const auto& [name, w] : model.windows) {
    if (!names.insert("w:" + name).second)
      c.problem("windows", "two windows are named \"" + name + "\"");
    const StoryModel::App* a = model.app(w.app);
    if (!a || !a->running)
      c.problem("windows",
                "window \"" + name + "\" needs a launched application \"" + w.app + "\"");
  }

  const Json& steps = document["steps"];
  if (!steps.is_array()) c.problem("steps", "should be a list");
  double lastAt = 0;
  for (size_t i = 0; steps.is_array() && i < steps.size(); ++i) {
    const Json& s = steps[i];
    const std::string kind =
        s.is_object() && s.contains("do") && s["do"].is_string() ? s["do"].get<std::string>() : "";
    const std::string where = stepWhere(i, kind);
    if (!s.is_object()) {
      c.problem(where, "should be an object");
      continue;
    }
    const StepKind* members = findStepKind(kind);
    if (!members) {
      c.problem(where, kind.empty() ? "missing \"do\"" : "\"" + kind + "\" is not a step");
      continue;
    }
    const size_t before = c.problems.size();
    c.members(s, withCommon(members->members), where);
    if (c.problems.size() != before) continue;
    if (s.contains("at")) {
      const double at = s["at"];
      if (at < lastAt) c.problem(where, "\"at\" goes back in time");
      lastAt = at;
    }
    Step step{kind, s};
    if (auto impossible = model.apply(step)) {
      c.problem(where, *impossible);
      continue;
    }
    scenario.steps.push_back(std::move(step));
  }
  if (!c.problems.empty()) {
    result.problems = c.problems;
    return result;
  }
  result.scenario = std::move(scenario);
  return result;
}

ParsedScenario parseScenarioText(const std::string& text, const std::string& file) {
  Json document = Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded()) {
    // Parse again with exceptions only to learn where the text went wrong.
    try {
      [[maybe_unused]] const Json again = Json::parse(text);
    } catch (const Json::parse_error& e) {
      ParsedScenario result;
      result.problems.push_back({"", std::string("not JSON: ") + e.what()});
      return result;
    }
  }
  return parseScenario(document, file);
}

ParsedScenario readScenarioFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    ParsedScenario result;
    result.problems.push_back({"", "cannot be read"});
    return result;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return parseScenarioText(text.str(), path);
}

}  // namespace vistarail::simrun
