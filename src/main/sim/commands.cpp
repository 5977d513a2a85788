#include "commands.h"

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "sim_runner/explore.h"
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

int usage(const std::string& problem) {
  std::cerr
      << kProgram << ": " << problem << "\n"
      << "usage: " << kProgram << " run SCENARIO --out DIR [--no-pictures]\n"
      << "       " << kProgram
      << " explore --seeds N --steps M [--seed S] [--out DIR] [--plant FAULT] [--no-shrink]\n";
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
    if (arg == "--out" && i + 1 < argc) {
      outDir = argv[++i];
    } else if (arg == "--no-pictures") {
      options.pictures = false;
    } else if (!arg.empty() && arg[0] == '-') {
      return usage("unknown option \"" + arg + "\"");
    } else if (scenarioPath.empty()) {
      scenarioPath = arg;
    } else {
      return usage("one scenario at a time");
    }
  }
  if (scenarioPath.empty()) return usage("which scenario?");
  if (outDir.empty()) return usage("--out DIR is needed");
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
    if (arg == "--seeds" || arg == "--steps" || arg == "--seed") {
      auto n = count(value);
      if (!n || (arg != "--seed" && *n == 0))
        return usage(arg + " takes a whole number, 1 or more");
      if (arg == "--seeds") options.seeds = *n;
      if (arg == "--steps") options.steps = static_cast<int>(std::min<uint64_t>(*n, 1'000'000));
      if (arg == "--seed") options.firstSeed = *n;
      ++i;
    } else if (arg == "--out" && value) {
      options.outDir = value;
      ++i;
    } else if (arg == "--plant" && value) {
      options.plantedFault = value;
      if (options.plantedFault != "fourColumns")
        return usage("the only fault to plant is fourColumns");
      ++i;
    } else if (arg == "--no-shrink") {
      options.shrink = false;
    } else {
      return usage("unknown option \"" + arg + "\"");
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
