#include "sim_runner/story_generator.h"

#include "sim_runner/system_model.h"

#include <cmath>
#include <optional>

#include "input/action.h"
#include "platform/sim/world/rng.h"
#include "sim_runner/story_model.h"

namespace vistarail::simrun {

namespace {

using Json = nlohmann::json;

// The simulator's seeded generator, with the draws a story needs.
struct Rng : sim::Rng {
  using sim::Rng::Rng;
  double between(double low, double high) { return uniform(low, high); }
  template <class T>
  const T& pick(const std::vector<T>& items) {
    return items[static_cast<size_t>(below(static_cast<int>(items.size())))];
  }
};

double round1(double v) {
  return std::round(v * 10) / 10;
}
double round2(double v) {
  return std::round(v * 100) / 100;
}

const char* kAppNames[] = {"Mail", "Notes", "Terminal", "Editor", "Browser", "Music"};

Json desktop(uint64_t seed) {
  return {
      {"format", kScenarioFormat},
      {"name", "explore seed " + std::to_string(seed)},
      {"seed", seed},
      {"displays",
       {{{"name", "Built-in"},
         {"frame", {0, 0, 1440, 900}},
         {"visibleFrame", {0, 25, 1440, 875}},
         {"spaces", 2}},
        {{"name", "External"},
         {"frame", {1440, 0, 1920, 1080}},
         {"visibleFrame", {1440, 25, 1920, 1055}},
         {"plugged", false}}}},
      {"apps",
       {{{"name", kAppNames[0]}},
        {{"name", kAppNames[1]}},
        {{"name", kAppNames[2]}, {"launched", false}},
        {{"name", kAppNames[3]}, {"launched", false}},
        {{"name", kAppNames[4]}, {"launched", false}},
        {{"name", kAppNames[5]}, {"launched", false}}}},
      {"windows",
       {{{"window", "w1"}, {"app", kAppNames[0]}, {"frame", {40, 60, 700, 500}}},
        {{"window", "w2"}, {"app", kAppNames[1]}, {"frame", {600, 80, 700, 600}}}}},
  };
}

// Always well inside a display that is plugged in: a window the user or its
// application puts out of view is not the program's to bring back.
Json someFrame(Rng& rng, bool external) {
  const double maxX = external ? 3000 : 1300;
  return {round1(rng.between(0, maxX)), round1(rng.between(25, 500)), round1(rng.between(120, 900)),
          round1(rng.between(80, 600))};
}

Json randomBehaviour(Rng& rng) {
  switch (rng.below(9)) {
    case 7:
      return {{"fights", true}};
    case 8:
      return {{"recreatesWhenMoved", true}};
    case 0:
      return Json::object();
    case 1:
      return {{"latency", round2(rng.between(0.01, 0.3))}, {"jitter", 0.02}};
    case 2:
      return {{"hung", true}};
    case 3:
      return {{"ignoresMoves", true}};
    case 4:
      return {{"sizeGrid", {50, 40}}};
    case 5:
      return {{"faults",
               {{{"name", rng.chance(2) ? "AXPosition" : "AXSize"},
                 {"on", "write"},
                 {"error", "cannotComplete"},
                 {"count", 1 + rng.below(4)}}}}};
    default:
      return {
          {"movesNewWindows", {{"delay", round2(rng.between(0.05, 0.8))}, {"offset", {30, 20}}}}};
  }
}

// One step that the model says is possible, or nothing when the pick was not.
std::optional<Json> oneStep(Rng& rng, StoryModel& model, int& windowCount) {
  std::vector<std::string> running, stopped, open;
  for (const auto& [name, a] : model.apps) (a.running ? running : stopped).push_back(name);
  for (const auto& [name, w] : model.windows) {
    if (w.open) open.push_back(name);
  }
  const bool external = model.display("External")->plugged;
  if (!model.managerRunning && rng.chance(2)) return Json{{"do", "start"}};
  static const std::vector<std::string> keys = {"ctrl+opt+left",       "ctrl+opt+right",
                                                "ctrl+opt+shift+left", "ctrl+opt+r",
                                                "ctrl+opt+f",          "ctrl+opt+["};
  const int roll = rng.below(112);
  if (roll < 18) {
    if (running.empty()) return std::nullopt;
    Json s = {{"do", "open"},
              {"window", "w" + std::to_string(++windowCount)},
              {"app", rng.pick(running)},
              {"frame", someFrame(rng, external)}};
    if (rng.chance(8)) s["kind"] = "dialog";
    if (rng.chance(16)) s["kind"] = "floating";
    if (rng.chance(8)) s["minSize"] = {600, 300};
    if (rng.chance(10)) s["maxSize"] = {500, 2000};
    if (rng.chance(16)) s["sizeSettable"] = false;
    if (rng.chance(6)) s["behind"] = true;
    return s;
  }
  if (roll < 24)
    return open.empty() ? std::nullopt
                        : std::optional<Json>({{"do", "close"}, {"window", rng.pick(open)}});
  if (roll < 28) {
    if (open.empty()) return std::nullopt;
    const std::string w = rng.pick(open);
    return Json{{"do", model.window(w)->minimised ? "unminimise" : "minimise"}, {"window", w}};
  }
  if (roll < 34)
    return open.empty() ? std::nullopt
                        : std::optional<Json>({{"do", "focus"}, {"window", rng.pick(open)}});
  if (roll < 38) {
    if (open.empty()) return std::nullopt;
    const char* kinds[] = {"drag", "resize", "appMove"};
    return Json{{"do", kinds[rng.below(3)]},
                {"window", rng.pick(open)},
                {"frame", someFrame(rng, external)}};
  }
  if (roll < 40) {
    if (open.empty()) return std::nullopt;
    const std::string w = rng.pick(open);
    return Json{{"do", model.window(w)->fullScreen ? "exitFullScreen" : "fullScreen"},
                {"window", w}};
  }
  if (roll < 43) {
    if (stopped.empty() || running.size() >= 5) return std::nullopt;
    return Json{{"do", "launch"}, {"app", rng.pick(stopped)}};
  }
  if (roll < 45)
    return running.empty() ? std::nullopt
                           : std::optional<Json>({{"do", "quit"}, {"app", rng.pick(running)}});
  if (roll < 47) {
    if (running.empty()) return std::nullopt;
    const std::string a = rng.pick(running);
    return Json{{"do", model.app(a)->hidden ? "unhide" : "hide"}, {"app", a}};
  }
  if (roll < 62) {
    const auto actions = allActions();
    Action action = actions[static_cast<size_t>(rng.below(static_cast<int>(actions.size())))];
    return Json{{"do", "action"}, {"action", std::string(rawValue(action))}};
  }
  if (roll < 64) {
    return Json{{"do", "key"}, {"keys", rng.pick(keys)}};
  }
  if (roll < 68) {
    switch (rng.below(5)) {
      case 0:
        return Json{{"do", "set"}, {"setting", "innerGap"}, {"value", rng.below(25)}};
      case 1:
        return Json{{"do", "set"},
                    {"setting", "centerMode"},
                    {"value", rng.pick(std::vector<std::string>{"never", "onOverflow", "always"})}};
      case 2:
        return Json{{"do", "set"},
                    {"setting", "newWindowWidth"},
                    {"value", rng.pick(std::vector<double>{0, 0.33, 0.5, 0.75})}};
      case 3:
        return Json{{"do", "set"}, {"setting", "carouselMode"}, {"value", rng.chance(2)}};
      default:
        return Json{{"do", "set"}, {"setting", "animations"}, {"value", rng.chance(3) == false}};
    }
  }
  if (roll < 71) {
    StoryModel::Display* d = model.display("Built-in");
    if (d->spaces < 3 && rng.chance(3)) return Json{{"do", "addSpace"}, {"display", "Built-in"}};
    return Json{
        {"do", "switchSpace"}, {"display", "Built-in"}, {"space", 1 + rng.below(d->spaces)}};
  }
  if (roll < 74) return Json{{"do", external ? "unplug" : "plug"}, {"display", "External"}};
  if (roll < 75) {
    if (!external) return std::nullopt;
    return Json{{"do", "arrange"},
                {"display", "External"},
                {"frame", {rng.chance(2) ? 1440 : -1920, 0, 1920, 1080}}};
  }
  if (roll < 79) {
    if (!model.managerRunning) return std::nullopt;
    return Json{{"do", model.paused ? "resume" : "pause"}};
  }
  if (roll < 81) return model.managerRunning ? Json{{"do", "stop"}} : Json{{"do", "start"}};
  if (roll < 86)
    return Json{
        {"do", "behave"}, {"app", kAppNames[rng.below(6)]}, {"behaviour", randomBehaviour(rng)}};
  if (roll < 90) {
    const double sign = rng.chance(2) ? 1 : -1;
    Json s = {{"do", "swipe"},
              {"fingers", 3 + rng.below(2)},
              {"distance", round2(sign * rng.between(0.05, 0.7))},
              {"events", 2 + rng.below(28)}};
    if (rng.chance(4)) s["lift"] = false;
    return s;
  }
  if (roll < 94) {
    Json deltas = Json::array();
    const double direction = rng.chance(2) ? 1 : -1;
    for (int i = 0, n = 1 + rng.below(20); i < n; ++i)
      deltas.push_back(round1(direction * rng.between(0, 80)));
    Json s = {{"do", "scroll"},
              {"point", {round1(rng.between(0, 1440)), round1(rng.between(30, 870))}},
              {"deltas", deltas}};
    if (rng.chance(3))
      s["wheel"] = true;
    else if (rng.chance(2))
      s["momentum"] = 1 + rng.below(20);
    if (rng.chance(8)) s["modifiers"] = rng.chance(2) ? "ctrl+opt+cmd" : "none";
    return s;
  }
  if (roll < 97) {
    if (open.empty()) return std::nullopt;
    return Json{
        {"do", "handDrag"}, {"window", rng.pick(open)}, {"frame", someFrame(rng, external)}};
  }
  if (roll < 99) return Json{{"do", "press"}, {"keys", rng.pick(keys)}};
  // Time passing: mostly short, so that the next event lands mid-scan,
  // mid-batch or mid-animation; sometimes long enough for all to settle.
  static const std::vector<double> waits = {0.01, 0.05, 0.09, 0.3, 0.6, 1.3, 2.5, 7};
  return Json{{"do", "wait"}, {"seconds", rng.pick(waits)}};
}

// Some moments are several steps: a command and, while its animation runs, a
// setting changed or the minimap it brought up clicked or dragged on.
std::vector<Json> randomSteps(Rng& rng, StoryModel& model, int& windowCount) {
  std::vector<std::string> open;
  for (const auto& [name, w] : model.windows) {
    if (w.open) open.push_back(name);
  }
  const int roll = rng.below(40);
  if (roll == 0 && model.managerRunning) {
    return {Json{{"do", "action"}, {"action", rng.chance(2) ? "focusRight" : "moveLeft"}},
            Json{{"do", "wait"}, {"seconds", 0.05}},
            Json{{"do", "set"}, {"setting", "innerGap"}, {"value", rng.below(30)}}};
  }
  if (roll == 1 && !open.empty()) {
    Json second =
        rng.chance(2)
            ? Json{{"do", "minimapClick"}, {"display", "Built-in"}, {"window", rng.pick(open)}}
            : Json{{"do", "minimapDrop"},
                   {"display", "Built-in"},
                   {"window", rng.pick(open)},
                   {"target", rng.pick(open)},
                   {"after", rng.chance(2)}};
    return {Json{{"do", "action"}, {"action", rng.chance(2) ? "focusLeft" : "focusRight"}},
            Json{{"do", "wait"}, {"seconds", 0.1}}, second};
  }
  if (auto one = oneStep(rng, model, windowCount)) return {*one};
  return {};
}
}  // namespace

Scenario randomStory(uint64_t seed, int steps, const std::string& plantedFault) {
  Rng rng{seed * 0x2545F4914F6CDD1Dull + 1};
  Scenario story;
  story.header = desktop(seed);
  if (!plantedFault.empty())
    story.header["check"] = {{"invariants", true}, {"plant", plantedFault}};
  else
    story.header["check"] = {{"invariants", true}};
  StoryModel model = StoryModel::fromHeader(story.header);
  int windowCount = 2;
  while (static_cast<int>(story.steps.size()) < steps) {
    for (const Json& source : randomSteps(rng, model, windowCount)) {
      Step step{source["do"], source};
      if (model.apply(step)) break;  // not possible now after all
      story.steps.push_back(std::move(step));
    }
  }
  hardenStory(story, seed);
  return story;
}

const std::vector<std::string>& generatedStepKinds() {
  static const std::vector<std::string> kinds = {
      "open",   "close",        "minimise",    "unminimise",  "focus",
      "drag",   "resize",       "appMove",     "fullScreen",  "exitFullScreen",
      "launch", "quit",         "hide",        "unhide",      "action",
      "key",    "set",          "addSpace",    "switchSpace", "plug",
      "unplug", "arrange",      "pause",       "resume",      "stop",
      "start",  "behave",       "swipe",       "scroll",      "handDrag",
      "press",  "minimapClick", "minimapDrop", "wait"};
  return kinds;
}

}  // namespace vistarail::simrun
