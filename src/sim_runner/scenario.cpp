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
#include "sim_runner/system_model.h"
#include "sim_runner/step_kinds.h"
#include "sim_runner/story_model.h"

namespace vistarail::simrun {

namespace {

using T = ValueType;

const std::vector<Member>& headerMembers() {
  static const std::vector<Member> members = {
      {"format", T::count, true},        {"name", T::string, false},
      {"description", T::string, false}, {"seed", T::count, false},
      {"settle", T::seconds, false},     {"displays", T::any, true},
      {"apps", T::any, false},           {"windows", T::any, false},
      {"settings", T::object, false},    {"defaults", T::object, false},
      {"steps", T::any, true},           {"expect", T::any, false},
      {"check", T::object, false},       {"trusted", T::boolean, false},
      {"system", T::object, false},
  };
  return members;
}

const std::vector<Member>& displayMembers() {
  static const std::vector<Member> members = {
      {"name", T::string, true},   {"frame", T::rect, true},       {"visibleFrame", T::rect, false},
      {"spaces", T::count, false}, {"plugged", T::boolean, false}, {"managed", T::boolean, false},
      {"uuid", T::string, false},
  };
  return members;
}

const std::vector<Member>& appMembers() {
  static const std::vector<Member> members = {
      {"name", T::string, true},         {"bundleId", T::string, false},
      {"launched", T::boolean, false},   {"behaviour", T::behaviour, false},
      {"enhancedUI", T::boolean, false},
  };
  return members;
}

const std::vector<Member>& behaviourMembers() {
  static const std::vector<Member> members = {
      {"latency", T::seconds, false},
      {"jitter", T::seconds, false},
      {"hung", T::boolean, false},
      {"ignoresMoves", T::boolean, false},
      {"sizeGrid", T::size, false},
      {"movesNewWindows", T::object, false},
      {"faults", T::any, false},
      {"fights", T::boolean, false},
      {"recreatesWhenMoved", T::boolean, false},
  };
  return members;
}

const std::vector<Member>& checkMembers() {
  static const std::vector<Member> members = {
      {"invariants", T::boolean, false}, {"plant", T::string, false}, {"ignore", T::any, false}};
  return members;
}

const std::vector<std::string>& expectKinds() {
  static const std::vector<std::string> kinds = {
      "columns",   "focused", "tiled", "floating", "inView",      "parked", "running",
      "onDisplay", "status",  "icon",  "menu",     "settingsTab", "control"};
  return kinds;
}

bool isNumbers(const Json& v, size_t n) {
  if (!v.is_array() || v.size() != n) return false;
  return std::all_of(v.begin(), v.end(), [](const Json& x) { return x.is_number(); });
}

class Checker {
 public:
  std::vector<ScenarioProblem> problems;

  void problem(const std::string& where, const std::string& what) {
    problems.push_back({where, what});
  }

  // Checks the members of an object against the list; false when it is no object.
  bool members(const Json& object, const std::vector<Member>& list, const std::string& where,
               const std::vector<std::string>& alsoAllowed = {}) {
    if (!object.is_object()) {
      problem(where, "should be an object");
      return false;
    }
    for (const auto& [key, value] : object.items()) {
      const auto known =
          std::find_if(list.begin(), list.end(), [&](const Member& m) { return key == m.name; });
      if (known == list.end()) {
        if (std::find(alsoAllowed.begin(), alsoAllowed.end(), key) == alsoAllowed.end()) {
          problem(where, "unknown key \"" + key + "\"");
        }
        continue;
      }
      value_(value, known->type, where.empty() ? key : where + "." + key);
    }
    for (const Member& m : list) {
      if (m.required && !object.contains(m.name)) {
        problem(where, "missing \"" + std::string(m.name) + "\"");
      }
    }
    return true;
  }

  void value_(const Json& v, T type, const std::string& where) {
    switch (type) {
      case T::string:
        if (!v.is_string() || v.get<std::string>().empty())
          problem(where, "should be a non-empty string");
        break;
      case T::number:
        if (!v.is_number()) problem(where, "should be a number");
        break;
      case T::seconds:
        if (!v.is_number() || v.get<double>() < 0)
          problem(where, "should be a number of seconds, 0 or more");
        break;
      case T::count:
        if (!v.is_number_integer() || v.get<int64_t>() < 1)
          problem(where, "should be a whole number, 1 or more");
        break;
      case T::boolean:
        if (!v.is_boolean()) problem(where, "should be true or false");
        break;
      case T::rect:
        if (!isNumbers(v, 4) || v[2].get<double>() <= 0 || v[3].get<double>() <= 0) {
          problem(where, "should be [x, y, width, height] with a positive width and height");
        }
        break;
      case T::point:
        if (!isNumbers(v, 2)) problem(where, "should be [x, y]");
        break;
      case T::size:
        if (!isNumbers(v, 2) || v[0].get<double>() < 0 || v[1].get<double>() < 0) {
          problem(where, "should be [width, height], 0 or more");
        }
        break;
      case T::behaviour:
        behaviour(v, where);
        break;
      case T::action:
        if (!v.is_string() || !actionFromRaw(v.get<std::string>())) {
          problem(where, "names no action (\"focusLeft\", \"moveRight\", \"cycleWidth\", ...)");
        }
        break;
      case T::keys:
        if (!v.is_string() || !parseKeyPress(v.get<std::string>())) {
          problem(where, "should be keys like \"ctrl+opt+left\"");
        }
        break;
      case T::windowKind:
        if (!v.is_string() || (v != "standard" && v != "dialog" && v != "floating")) {
          problem(where, "should be \"standard\", \"dialog\" or \"floating\"");
        }
        break;
      case T::object:
        if (!v.is_object()) problem(where, "should be an object");
        break;
      case T::any:
        break;
    }
  }

  void behaviour(const Json& v, const std::string& where) {
    if (!members(v, behaviourMembers(), where)) return;
    if (v.contains("movesNewWindows")) {
      members(
          v["movesNewWindows"],
          {{"delay", T::seconds, false}, {"offset", T::point, false}, {"frame", T::rect, false}},
          where + ".movesNewWindows");
    }
    if (v.contains("faults")) {
      const Json& faults = v["faults"];
      if (!faults.is_array()) {
        problem(where + ".faults", "should be a list");
        return;
      }
      for (size_t i = 0; i < faults.size(); ++i) {
        const std::string at = where + ".faults[" + std::to_string(i) + "]";
        if (!members(faults[i],
                     {{"name", T::any, false},
                      {"on", T::string, false},
                      {"error", T::string, false},
                      {"count", T::count, false}},
                     at)) {
          continue;
        }
        if (faults[i].contains("name") && !faults[i]["name"].is_string()) {
          problem(at + ".name", "should be a string");
        }
        if (faults[i].contains("on") && faults[i]["on"].is_string() &&
            !faultOnFromName(faults[i]["on"].get<std::string>())) {
          problem(at + ".on",
                  "should be one of read, write, settable, action, notification, observer, any");
        }
        if (faults[i].contains("error") && faults[i]["error"].is_string() &&
            !axErrorFromName(faults[i]["error"].get<std::string>())) {
          problem(at + ".error",
                  "names no accessibility error (\"cannotComplete\", \"failure\", ...)");
        }
      }
    }
  }

  // The list of objects under the key, each checked.
  void list(const Json& header, const char* key, const std::vector<Member>& list_,
            const std::vector<std::string>& alsoAllowed = {}) {
    if (!header.contains(key)) return;
    const Json& items = header[key];
    if (!items.is_array()) {
      problem(key, "should be a list");
      return;
    }
    for (size_t i = 0; i < items.size(); ++i) {
      members(items[i], list_, std::string(key) + "[" + std::to_string(i) + "]", alsoAllowed);
    }
  }

  static std::optional<int> faultOnFromName(const std::string& name) {
    static const char* names[] = {"read",         "write",    "settable", "action",
                                  "notification", "observer", "any"};
    for (int i = 0; i < 7; ++i) {
      if (name == names[i]) return i;
    }
    return std::nullopt;
  }
  static std::optional<int> axErrorFromName(const std::string& name) {
    for (int code = -25214; code <= -25200; ++code) {
      if (name == toString(static_cast<AXError>(code))) return code;
    }
    return std::nullopt;
  }
};

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
  Checker c;
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

// --- Keys ----------------------------------------------------------------------

std::optional<KeyPress> parseKeyPress(const std::string& text) {
  static const std::map<std::string, uint32_t> keys = {
      {"a", 0},      {"s", 1},        {"d", 2},          {"f", 3},       {"h", 4},
      {"g", 5},      {"z", 6},        {"x", 7},          {"c", 8},       {"v", 9},
      {"b", 11},     {"q", 12},       {"w", 13},         {"e", 14},      {"r", 15},
      {"y", 16},     {"t", 17},       {"1", 18},         {"2", 19},      {"3", 20},
      {"4", 21},     {"6", 22},       {"5", 23},         {"=", 24},      {"9", 25},
      {"7", 26},     {"-", 27},       {"8", 28},         {"0", 29},      {"]", 30},
      {"o", 31},     {"u", 32},       {"[", 33},         {"i", 34},      {"p", 35},
      {"l", 37},     {"j", 38},       {"k", 40},         {"n", 45},      {"m", 46},
      {"left", 123}, {"right", 124},  {"down", 125},     {"up", 126},    {"home", 115},
      {"end", 119},  {"pageup", 116}, {"pagedown", 121}, {"return", 36}, {"tab", 48},
      {"space", 49}, {"delete", 51},  {"escape", 53},    {"f1", 122},    {"f2", 120},
      {"f3", 99},    {"f4", 118},     {"f5", 96},        {"f6", 97},     {"f7", 98},
      {"f8", 100},   {"f9", 101},     {"f10", 109},      {"f11", 103},   {"f12", 111},
  };
  static const std::map<std::string, uint32_t> modifiers = {
      {"ctrl", kControlKeyMask},  {"control", kControlKeyMask}, {"opt", kOptionKeyMask},
      {"option", kOptionKeyMask}, {"alt", kOptionKeyMask},      {"shift", kShiftKeyMask},
      {"cmd", kCommandKeyMask},   {"command", kCommandKeyMask},
  };
  KeyPress press;
  std::optional<uint32_t> key;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, '+')) {
    std::transform(part.begin(), part.end(), part.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (auto m = modifiers.find(part); m != modifiers.end() && !key) {
      press.modifiers |= m->second;
    } else if (auto k = keys.find(part); k != keys.end() && !key) {
      key = k->second;
    } else {
      return std::nullopt;
    }
  }
  if (!key) return std::nullopt;
  press.keyCode = *key;
  return press;
}

}  // namespace vistarail::simrun
