#include "sim_runner/explore.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "sim_runner/story_model.h"

namespace vistarail::simrun {

using Json = nlohmann::json;

ExploreCursor& exploreCursor() {
  static ExploreCursor cursor;
  return cursor;
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

namespace {

// Whether the story still breaks the invariant, and where: the shrinker's
// one question, asked at most `maxRuns` times.
class Oracle {
 public:
  Oracle(std::string invariant, std::string plantedFault, int maxRuns)
      : invariant_(std::move(invariant)), plantedFault_(std::move(plantedFault)), left_(maxRuns) {}
  bool spent() const { return left_ <= 0; }
  // The story cut after its failing step, when it fails the same way. A
  // candidate counts only as a valid scenario (no step refers to something a
  // dropped step or a dropped application made).
  std::optional<Scenario> fails(Scenario candidate) {
    if (left_ <= 0) return std::nullopt;
    --left_;
    // Steps that became impossible with the steps they needed go too (a
    // window's close after its open was dropped).
    StoryModel model = StoryModel::fromHeader(candidate.header);
    std::erase_if(candidate.steps, [&](const Step& step) { return model.apply(step).has_value(); });
    ParsedScenario parsed = parseScenario(candidate.toJson());
    if (!parsed.scenario) return std::nullopt;
    const Checked checked = runChecked(*parsed.scenario, plantedFault_);
    if (!checked.violation || checked.violation->invariant != invariant_) return std::nullopt;
    Scenario kept = candidate;
    kept.steps.resize(static_cast<size_t>(checked.step));
    return kept;
  }

 private:
  std::string invariant_;
  std::string plantedFault_;
  int left_;
};

// Delta debugging over the steps: drop chunks while the failure stays.
Scenario dropSteps(Scenario current, Oracle& oracle) {
  size_t n = 2;
  while (current.steps.size() >= 2 && !oracle.spent()) {
    const size_t chunk = (current.steps.size() + n - 1) / n;
    bool reduced = false;
    for (size_t start = 0; start < current.steps.size() && !reduced; start += chunk) {
      Scenario candidate = current;
      auto& steps = candidate.steps;
      steps.erase(
          steps.begin() + static_cast<std::ptrdiff_t>(start),
          steps.begin() + static_cast<std::ptrdiff_t>(std::min(steps.size(), start + chunk)));
      if (auto smaller = oracle.fails(candidate)) {
        current = *smaller;
        n = std::max<size_t>(n - 1, 2);
        reduced = true;
      }
    }
    if (!reduced) {
      if (n >= current.steps.size()) break;
      n = std::min(current.steps.size(), n * 2);
    }
  }
  return current;
}

// Each wait as short as still fails: a reader sees what had to overlap.
Scenario shortenWaits(Scenario current, Oracle& oracle) {
  for (size_t i = 0; i < current.steps.size() && !oracle.spent(); ++i) {
    while (current.steps[i].kind == "wait" && !oracle.spent()) {
      const double seconds = current.steps[i].source["seconds"];
      if (seconds <= 0.05) break;
      Scenario candidate = current;
      candidate.steps[i].source["seconds"] = std::round(seconds * 50) / 100;  // half, to 0.01 s
      auto shorter = oracle.fails(candidate);
      if (!shorter) break;
      current = *shorter;
    }
  }
  return current;
}

// The applications, windows and displays of the desktop that the failure
// does without.
Scenario dropDesktop(Scenario current, Oracle& oracle) {
  for (const char* list : {"windows", "apps", "displays"}) {
    for (size_t i = current.header.value(list, Json::array()).size(); i-- > 0 && !oracle.spent();) {
      if (std::string(list) == "displays" && current.header[list].size() <= 1) break;
      Scenario candidate = current;
      candidate.header[list].erase(i);
      if (auto smaller = oracle.fails(candidate)) current = *smaller;
    }
  }
  return current;
}

}  // namespace

Scenario shrinkStory(const Scenario& story, const std::string& invariant,
                     const std::string& plantedFault, int maxRuns) {
  Oracle oracle(invariant, plantedFault, maxRuns);
  Scenario current = story;
  if (auto cut = oracle.fails(current)) current = *cut;
  current = dropSteps(current, oracle);
  current = shortenWaits(current, oracle);
  current = dropDesktop(current, oracle);
  // What the shorter waits and the smaller desktop made needless.
  return dropSteps(current, oracle);
}

ExploreResult explore(const ExploreOptions& options) {
  ExploreResult result;
  for (uint64_t i = 0; i < options.seeds; ++i) {
    const uint64_t seed = options.firstSeed + i;
    exploreCursor().seed = seed;
    exploreCursor().step = 0;
    Scenario story = randomStory(seed, options.steps, options.plantedFault);
    if (!options.ignored.empty()) story.header["check"]["ignore"] = options.ignored;
    Checked checked;
    // A story the reader would refuse cannot be replayed: that is a failure
    // of the generator, reported as such.
    if (const ParsedScenario back = parseScenario(story.toJson()); !back.scenario) {
      checked.violation = Violation{"storyReadsBack", back.describeProblems("")};
      checked.step = 1;
    } else {
      checked = runChecked(story, options.plantedFault);
    }
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
