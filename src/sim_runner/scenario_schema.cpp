#include "sim_runner/scenario_schema.h"

#include <algorithm>

#include "input/action.h"
#include "platform/ax_types.h"

namespace vistarail::simrun {

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

namespace {

bool isNumbers(const Json& v, size_t n) {
  if (!v.is_array() || v.size() != n) return false;
  return std::all_of(v.begin(), v.end(), [](const Json& x) { return x.is_number(); });
}

}  // namespace

void SchemaChecker::problem(const std::string& where, const std::string& what) {
  problems.push_back({where, what});
}

bool SchemaChecker::members(const Json& object, const std::vector<Member>& list,
                            const std::string& where, const std::vector<std::string>& alsoAllowed) {
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

void SchemaChecker::value_(const Json& v, T type, const std::string& where) {
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

void SchemaChecker::behaviour(const Json& v, const std::string& where) {
  if (!members(v, behaviourMembers(), where)) return;
  if (v.contains("movesNewWindows")) {
    members(v["movesNewWindows"],
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

void SchemaChecker::list(const Json& header, const char* key, const std::vector<Member>& list_,
                         const std::vector<std::string>& alsoAllowed) {
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

std::optional<int> SchemaChecker::faultOnFromName(const std::string& name) {
  static const char* names[] = {"read",         "write",    "settable", "action",
                                "notification", "observer", "any"};
  for (int i = 0; i < 7; ++i) {
    if (name == names[i]) return i;
  }
  return std::nullopt;
}

std::optional<int> SchemaChecker::axErrorFromName(const std::string& name) {
  for (int code = -25214; code <= -25200; ++code) {
    if (name == toString(static_cast<AXError>(code))) return code;
  }
  return std::nullopt;
}

}  // namespace vistarail::simrun
