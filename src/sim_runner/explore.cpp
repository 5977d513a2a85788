#include "sim_runner/explore.h"

#include <algorithm>
#include <fstream>

#include "input/action.h"
#include "platform/sim/world/rng.h"
#include "sim_runner/system_model.h"

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
  switch (rng.below(7)) {
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
std::optional<Json> randomStep(Rng& rng, StoryModel& model, int& windowCount) {
  std::vector<std::string> running, stopped, open;
  for (const auto& [name, a] : model.apps) (a.running ? running : stopped).push_back(name);
  for (const auto& [name, w] : model.windows) {
    if (w.open) open.push_back(name);
  }
  const bool external = model.display("External")->plugged;
  if (!model.managerRunning && rng.chance(2)) return Json{{"do", "start"}};
  const int roll = rng.below(100);
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
    static const std::vector<std::string> keys = {"ctrl+opt+left",       "ctrl+opt+right",
                                                  "ctrl+opt+shift+left", "ctrl+opt+r",
                                                  "ctrl+opt+f",          "ctrl+opt+["};
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
  // Time passing: mostly short, so that the next event lands mid-scan,
  // mid-batch or mid-animation; sometimes long enough for all to settle.
  static const std::vector<double> waits = {0.01, 0.05, 0.09, 0.3, 0.6, 1.3, 2.5, 7};
  return Json{{"do", "wait"}, {"seconds", rng.pick(waits)}};
}

}  // namespace

ExploreCursor& exploreCursor() {
  static ExploreCursor cursor;
  return cursor;
}

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
    auto source = randomStep(rng, model, windowCount);
    if (!source) continue;
    Step step{(*source)["do"], *source};
    if (model.apply(step)) continue;  // not possible now after all
    story.steps.push_back(std::move(step));
  }
  hardenStory(story, seed);
  return story;
}

Checked runChecked(const Scenario& story, const std::string& plantedFault) {
  Checked result;
  Session session(story, {.timeline = false, .plantedFault = plantedFault});
  session.begin();
  if (auto v = session.check()) {
    result.violation = v;
    return result;
  }
  for (size_t i = 0; i < story.steps.size(); ++i) {
    exploreCursor().step = static_cast<int>(i) + 1;
    session.runStep(i);
    ++result.stepsRun;
    if (auto v = session.check()) {
      result.violation = v;
      result.step = static_cast<int>(i) + 1;
      break;
    }
  }
  result.simulatedSeconds = session.now();
  return result;
}

Scenario shrinkStory(const Scenario& story, const std::string& invariant,
                     const std::string& plantedFault, int maxRuns) {
  int runs = 0;
  // A candidate counts only when it is a valid scenario (no step refers to
  // something a dropped step made) and breaks the same invariant.
  auto fails = [&](const std::vector<Step>& steps) -> std::optional<std::vector<Step>> {
    if (runs >= maxRuns) return std::nullopt;
    ++runs;
    Scenario candidate = story;
    candidate.steps = steps;
    ParsedScenario parsed = parseScenario(candidate.toJson());
    if (!parsed.scenario) return std::nullopt;
    const Checked checked = runChecked(*parsed.scenario, plantedFault);
    if (!checked.violation || checked.violation->invariant != invariant) return std::nullopt;
    // Everything after the failing step is not needed.
    std::vector<Step> kept(steps.begin(), steps.begin() + checked.step);
    return kept;
  };
  std::vector<Step> current = story.steps;
  if (auto first = fails(current)) current = *first;
  size_t n = 2;
  while (current.size() >= 2 && runs < maxRuns) {
    const size_t chunk = (current.size() + n - 1) / n;
    bool reduced = false;
    // Try each complement (dropping one chunk); dropping is what shortens.
    for (size_t start = 0; start < current.size() && !reduced; start += chunk) {
      std::vector<Step> complement(current.begin(),
                                   current.begin() + static_cast<std::ptrdiff_t>(start));
      complement.insert(
          complement.end(),
          current.begin() + static_cast<std::ptrdiff_t>(std::min(current.size(), start + chunk)),
          current.end());
      if (auto smaller = fails(complement)) {
        current = *smaller;
        n = std::max<size_t>(n - 1, 2);
        reduced = true;
      }
    }
    if (!reduced) {
      if (n >= current.size()) break;
      n = std::min(current.size(), n * 2);
    }
  }
  Scenario shrunk = story;
  shrunk.steps = current;
  return shrunk;
}

ExploreResult explore(const ExploreOptions& options) {
  ExploreResult result;
  for (uint64_t i = 0; i < options.seeds; ++i) {
    const uint64_t seed = options.firstSeed + i;
    exploreCursor().seed = seed;
    exploreCursor().step = 0;
    const Scenario story = randomStory(seed, options.steps, options.plantedFault);
    const Checked checked = runChecked(story, options.plantedFault);
    ++result.seedsRun;
    result.stepsChecked += static_cast<uint64_t>(checked.stepsRun);
    result.simulatedSeconds += checked.simulatedSeconds;
    if (options.progress && (i + 1) % 50 == 0) {
      *options.progress << "vistarail-sim: explored " << i + 1 << " of " << options.seeds
                        << " seeds (" << result.stepsChecked << " steps)\n";
    }
    if (!checked.violation) continue;

    ExploreFailure failure;
    failure.seed = seed;
    failure.step = checked.step;
    failure.violation = *checked.violation;
    failure.originalSteps = story.steps.size();
    if (options.progress) {
      *options.progress << "vistarail-sim: seed " << seed << " step " << checked.step
                        << ": invariant " << checked.violation->invariant
                        << " broken: " << checked.violation->detail
                        << "\nvistarail-sim: shrinking...\n";
    }
    failure.shrunk = options.shrink ? shrinkStory(story, checked.violation->invariant,
                                                  options.plantedFault, options.maxShrinkRuns)
                                    : story;
    failure.shrunk.header["name"] =
        "explore seed " + std::to_string(seed) + ": " + checked.violation->invariant;
    failure.shrunk.header["description"] =
        "Found by explore at step " + std::to_string(checked.step) + " of seed " +
        std::to_string(seed) + " and shrunk from " + std::to_string(story.steps.size()) +
        " steps: " + checked.violation->detail;
    // The shrunk story may break the invariant in another way; say which.
    const Checked replay = runChecked(failure.shrunk, options.plantedFault);
    if (replay.violation) {
      failure.violation = *replay.violation;
      failure.shrunk.header["description"] =
          "Found by explore at step " + std::to_string(checked.step) + " of seed " +
          std::to_string(seed) + " and shrunk from " + std::to_string(story.steps.size()) +
          " steps: " + replay.violation->detail;
    }
    std::error_code ec;
    std::filesystem::create_directories(options.outDir, ec);
    failure.file = options.outDir / ("seed-" + std::to_string(seed) + ".json");
    std::ofstream out(failure.file);
    out << failure.shrunk.toJson().dump(2) << "\n";
    result.failure = std::move(failure);
    break;
  }
  return result;
}

}  // namespace vistarail::simrun
