#pragma once
// The kinds of step a story is told in. Each kind is one row of a table: its
// name (the step's "do"), the members its JSON may hold, which the reader
// checks before a run, and the function that tells it to a session. Adding a
// step kind is one row in step_kinds.cpp and one function (in a file of its
// own beside the others when it is a new family of steps).

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace vistarail::simrun {

class Session;

// The kinds of value a member may hold.
enum class ValueType {
  string,
  number,
  seconds,
  count,
  boolean,
  rect,
  point,
  size,
  behaviour,
  action,
  keys,
  windowKind,
  any,
  object
};

struct Member {
  const char* name;
  ValueType type;
  bool required;
};

using StepFunction = void (*)(Session& session, const nlohmann::json& step);

struct StepKind {
  const char* name;
  std::vector<Member> members;  // beside "do", "at" and "note", which every step may have
  StepFunction run;
};

const std::vector<StepKind>& stepKinds();
// Null when no step is called that.
const StepKind* findStepKind(std::string_view name);

}  // namespace vistarail::simrun
