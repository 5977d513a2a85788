#pragma once
// What a scenario file may hold: the members each of its objects may have,
// and the checks that report every problem with a file in one go.

#include <optional>
#include <string>
#include <vector>

#include "sim_runner/json_values.h"
#include "sim_runner/scenario.h"
#include "sim_runner/step_kinds.h"

namespace vistarail::simrun {

const std::vector<Member>& headerMembers();
const std::vector<Member>& displayMembers();
const std::vector<Member>& appMembers();
const std::vector<Member>& behaviourMembers();
const std::vector<Member>& checkMembers();
const std::vector<std::string>& expectKinds();

// Collects the problems of a scenario document, each with where it lies.
class SchemaChecker {
 public:
  using T = ValueType;
  std::vector<ScenarioProblem> problems;
  void problem(const std::string& where, const std::string& what);
  // Checks the members of an object against the list; false when it is no object.
  bool members(const Json& object, const std::vector<Member>& list, const std::string& where,
               const std::vector<std::string>& alsoAllowed = {});
  void value_(const Json& v, T type, const std::string& where);
  void behaviour(const Json& v, const std::string& where);
  // The list of objects under the key, each checked.
  void list(const Json& header, const char* key, const std::vector<Member>& list_,
            const std::vector<std::string>& alsoAllowed = {});
  static std::optional<int> faultOnFromName(const std::string& name);
  static std::optional<int> axErrorFromName(const std::string& name);
};

}  // namespace vistarail::simrun
