#include "commands.h"

#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "sim_runner/explore.h"
#include "sim_runner/planted_ports.h"
#include "sim_runner/run.h"

#if defined(__SANITIZE_ADDRESS__)
#define VISTARAIL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define VISTARAIL_SANITIZED 1
#endif
#endif
#ifdef VISTARAIL_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

namespace vistarail::simrun {

namespace {

constexpr char kProgram[] = "vistarail-sim";
constexpr int kRunError = 1;
constexpr int kUsageError = 2;

std::string exploreUsage() {
  std::string faults;
  for (const auto& f : plantableFaults()) faults += (faults.empty() ? "" : ", ") + f;
  return std::string("usage: ") + kProgram +
         " explore --seeds N --steps M [--seed S] [--out DIR] [--plant FAULT]\n"
         "       [--ignore INVARIANT]... [--no-shrink]\n"
         "Tells N random stories of M steps each, seeds S, S+1, ... (S is 1 by default), to the\n"
         "whole program on the simulated macOS and checks every invariant after every step.\n"
         "The first failure is shrunk to a short scenario written to DIR/seed-N.json\n"
         "(default out/explore) that `" +
         kProgram +
         " run` replays.\n"
         "  --seeds N      how many stories\n"
         "  --steps M      steps per story\n"
         "  --seed S       the first seed\n"
         "  --out DIR      where a shrunk failure is written\n"
         "  --plant FAULT  plant a fault the checker must catch: " +
         faults +
         "\n"
         "  --ignore INVARIANT  do not report that invariant (a known fault that\n"
         "                 would hide others); may be given more than once\n"
         "  --no-shrink    write the failing story whole\n"
         "  --help         show this text\n";
}

std::string runUsage() {
  return std::string("usage: ") + kProgram +
         " run SCENARIO --out DIR [--no-pictures] [--trace]\n"
         "Tells the scenario (docs/scenarios.md) to the whole program on the simulated macOS\n"
         "and writes timeline.jsonl, state.json, a picture per snapshot, defaults.json and\n"
         "report.html to DIR. Exits 1 when an expectation or a checked invariant fails.\n"
         "  --out DIR       where the report goes\n"
         "  --no-pictures   skip the pictures\n"
         "  --trace         every call the program made and its result in the timeline too\n"
         "  --help          show this text\n";
}

int usage(const std::string& problem, const std::string& text) {
  std::cerr << kProgram << ": " << problem << "\n" << text;
  return kUsageError;
}

std::optional<uint64_t> count(const char* text) {
  if (!text || !*text || *text == '-') return std::nullopt;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (*end) return std::nullopt;
  return value;
}

// Says which story crashed: the seed and step, written without allocating.
void sayWhere() {
  char line[128];
  const int n =
      std::snprintf(line, sizeof line, "\n%s: crashed at seed %llu step %d\n", kProgram,
                    static_cast<unsigned long long>(exploreCursor().seed), exploreCursor().step);
  if (n > 0) {
    [[maybe_unused]] auto written = ::write(2, line, static_cast<size_t>(n));
  }
}

void onFatalSignal(int signal) {
  sayWhere();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

int runCommand(int argc, char** argv) {
  std::string scenarioPath, outDir;
  RunOptions options;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << runUsage();
      return 0;
    } else if (arg == "--out" && i + 1 < argc) {
      outDir = argv[++i];
    } else if (arg == "--no-pictures") {
      options.pictures = false;
    } else if (arg == "--trace") {
      options.wholeTrace = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return usage("unknown option \"" + arg + "\"", runUsage());
    } else if (scenarioPath.empty()) {
      scenarioPath = arg;
    } else {
      return usage("one scenario at a time", runUsage());
    }
  }
  if (scenarioPath.empty()) return usage("which scenario?", runUsage());
  if (outDir.empty()) return usage("--out DIR is needed", runUsage());
  const ParsedScenario parsed = readScenarioFile(scenarioPath);
  if (!parsed.scenario) {
    std::cerr << parsed.describeProblems(scenarioPath);
    std::cerr << kProgram << ": " << scenarioPath << " has " << parsed.problems.size()
              << " problem(s); nothing was run\n";
    return kRunError;
  }
  options.outDir = outDir;
  options.progress = &std::cerr;
  const RunResult result = runScenario(*parsed.scenario, options);
  if (!result.completed) {
    for (const auto& unmet : result.unmetExpectations)
      std::cerr << scenarioPath << ": " << unmet << "\n";
    std::cerr << kProgram << ": " << result.reason << "\n";
    return kRunError;
  }
  std::cout << kProgram << ": ran " << parsed.scenario->steps.size() << " steps of \""
            << parsed.scenario->name() << "\"; report in " << outDir << "/report.html\n";
  return 0;
}

int exploreCommand(int argc, char** argv) {
  ExploreOptions options;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg == "--help" || arg == "-h") {
      std::cout << exploreUsage();
      return 0;
    } else if (arg == "--seeds" || arg == "--steps" || arg == "--seed") {
      auto n = count(value);
      if (!n || (arg != "--seed" && *n == 0))
        return usage(arg + " takes a whole number, 1 or more", exploreUsage());
      if (arg == "--seeds") options.seeds = *n;
      if (arg == "--steps") options.steps = static_cast<int>(std::min<uint64_t>(*n, 1'000'000));
      if (arg == "--seed") options.firstSeed = *n;
      ++i;
    } else if (arg == "--out" && value) {
      options.outDir = value;
      ++i;
    } else if (arg == "--plant" && value) {
      options.plantedFault = value;
      const auto& known = plantableFaults();
      if (std::find(known.begin(), known.end(), options.plantedFault) == known.end())
        return usage("no fault is called \"" + options.plantedFault + "\"", exploreUsage());
      ++i;
    } else if (arg == "--ignore" && value) {
      options.ignored.push_back(value);
      ++i;
    } else if (arg == "--no-shrink") {
      options.shrink = false;
    } else {
      return usage("unknown option \"" + arg + "\"", exploreUsage());
    }
  }
  options.progress = &std::cerr;
  for (int s : {SIGSEGV, SIGABRT, SIGFPE, SIGILL, SIGBUS}) std::signal(s, onFatalSignal);
#ifdef VISTARAIL_SANITIZED
  __sanitizer_set_death_callback(sayWhere);
#endif
  std::cerr << kProgram << ": exploring seeds " << options.firstSeed << " to "
            << options.firstSeed + options.seeds - 1 << ", " << options.steps << " steps each\n";
  const ExploreResult result = explore(options);
  if (result.failure) {
    const ExploreFailure& f = *result.failure;
    std::cerr << kProgram << ": seed " << f.seed << " step " << f.step << ": invariant "
              << f.violation.invariant << " broken: " << f.violation.detail << "\n"
              << kProgram << ": shrunk from " << f.originalSteps << " to " << f.shrunk.steps.size()
              << " steps; replay with: " << kProgram << " run " << f.file.string()
              << " --out DIR\n";
    return kRunError;
  }
  std::cout << kProgram << ": seeds " << options.firstSeed << " to "
            << options.firstSeed + result.seedsRun - 1 << ": " << result.stepsChecked
            << " steps checked, " << result.simulatedSeconds
            << " s simulated, no invariant broken\n";
  return 0;
}

}  // namespace vistarail::simrun
