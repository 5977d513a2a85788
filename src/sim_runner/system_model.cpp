#include "sim_runner/system_model.h"

#include <cmath>
#include <string>

#include "platform/ax_names.h"
#include "platform/sim/world/rng.h"

namespace vistarail::simrun {

namespace {

enum class Kind { flag, seconds, probability, object };

struct Field {
  const char* name;
  Kind kind;
};

const std::vector<Field> kTop = {
    {"writesLandAtEndOfCall", Kind::flag},
    {"notifications", Kind::object},
    {"enhancedUIAnimation", Kind::seconds},
    {"clampSizesToScreen", Kind::flag},
    {"focus", Kind::object},
    {"displaysShareOneSpace", Kind::flag},
};
const std::vector<Field> kNotifications = {{"delay", Kind::seconds},
                                           {"jitter", Kind::seconds},
                                           {"coalesce", Kind::flag},
                                           {"drop", Kind::probability}};
const std::vector<Field> kFocus = {{"fail", Kind::probability},
                                   {"late", Kind::seconds},
                                   {"steal", Kind::probability},
                                   {"stealAfter", Kind::seconds}};

void check(const Json& object, const std::vector<Field>& fields, const std::string& where,
           std::vector<ScenarioProblem>& problems) {
  if (!object.is_object()) {
    problems.push_back({where, "should be an object"});
    return;
  }
  for (const auto& [key, value] : object.items()) {
    const std::string at = where + "." + key;
    const Field* field = nullptr;
    for (const Field& f : fields) {
      if (key == f.name) field = &f;
    }
    if (!field) {
      problems.push_back({where, "unknown key \"" + key + "\""});
      continue;
    }
    switch (field->kind) {
      case Kind::flag:
        if (!value.is_boolean()) problems.push_back({at, "should be true or false"});
        break;
      case Kind::seconds:
        if (!value.is_number() || !(value.get<double>() >= 0) ||
            !std::isfinite(value.get<double>())) {
          problems.push_back({at, "should be a number of seconds, 0 or more"});
        }
        break;
      case Kind::probability:
        if (!value.is_number() || !(value.get<double>() >= 0 && value.get<double>() <= 1)) {
          problems.push_back({at, "should be a probability from 0 to 1"});
        }
        break;
      case Kind::object:
        check(value, key == std::string("focus") ? kFocus : kNotifications, at, problems);
        break;
    }
  }
}

}  // namespace

std::vector<ScenarioProblem> systemProblems(const Json& system) {
  std::vector<ScenarioProblem> problems;
  check(system, kTop, "system", problems);
  return problems;
}

sim::Realism realismOf(const Json& s) {
  sim::Realism r;
  r.writesLandAtEndOfCall = s.value("writesLandAtEndOfCall", false);
  const Json n = s.value("notifications", Json::object());
  r.notifications.delaySeconds = n.value("delay", 0.0);
  r.notifications.jitterSeconds = n.value("jitter", 0.0);
  r.notifications.coalesce = n.value("coalesce", false);
  r.notifications.dropProbability = n.value("drop", 0.0);
  r.enhancedUIAnimationSeconds = s.value("enhancedUIAnimation", 0.0);
  r.clampSizesToScreen = s.value("clampSizesToScreen", false);
  const Json f = s.value("focus", Json::object());
  r.focus.failProbability = f.value("fail", 0.0);
  r.focus.lateSeconds = f.value("late", 0.0);
  r.focus.stealProbability = f.value("steal", 0.0);
  r.focus.stealAfterSeconds = f.value("stealAfter", 0.05);
  r.displaysShareOneSpace = s.value("displaysShareOneSpace", false);
  return r;
}

void hardenStory(Scenario& story, uint64_t seed) {
  // A generator of its own, so the story's steps stay what they were.
  sim::Rng rng(seed * 0x9E3779B97F4A7C15ull + 0x51);
  auto rounded = [](double v) { return std::round(v * 1000) / 1000; };
  Json system = Json::object();
  if (rng.chance(2)) system["writesLandAtEndOfCall"] = true;
  if (rng.chance(2)) {
    system["notifications"] = {{"delay", rounded(rng.uniform(0, 0.05))},
                               {"jitter", rounded(rng.uniform(0, 0.05))},
                               {"coalesce", rng.chance(2)},
                               {"drop", rng.chance(2) ? rounded(rng.uniform(0, 0.3)) : 0.0}};
  }
  if (rng.chance(2)) system["enhancedUIAnimation"] = rounded(rng.uniform(0.1, 0.4));
  if (rng.chance(2)) system["clampSizesToScreen"] = true;
  if (rng.chance(2)) {
    system["focus"] = {{"fail", rng.chance(2) ? rounded(rng.uniform(0, 0.3)) : 0.0},
                       {"late", rng.chance(2) ? rounded(rng.uniform(0, 0.3)) : 0.0},
                       {"steal", rng.chance(2) ? rounded(rng.uniform(0, 0.2)) : 0.0}};
  }
  if (rng.chance(3)) system["displaysShareOneSpace"] = true;
  story.header["system"] = std::move(system);
  // Applications in enhanced user interface; some will not leave it when
  // asked, so their windows glide under the program's writes.
  for (Json& app : story.header["apps"]) {
    if (!rng.chance(3)) continue;
    app["enhancedUI"] = true;
    if (rng.chance(2)) {
      app["behaviour"]["faults"].push_back(
          {{"name", ax::kEnhancedUserInterface}, {"on", "write"}, {"error", "failure"}});
    }
  }
  for (Json& window : story.header["windows"]) {
    if (rng.chance(6)) window["allSpaces"] = true;
  }
  for (Step& step : story.steps) {
    if (step.kind == "open" && rng.chance(6)) step.source["allSpaces"] = true;
  }
}

}  // namespace vistarail::simrun
