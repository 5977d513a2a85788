// What a burst of settings changes costs the disk: 100 assignments of one
// value, 10 ms apart in virtual time (a slider dragged for one second), on a
// defaults file in a temporary folder. "every change" flushes after each
// assignment, which is how the file was written before writes were
// coalesced; "coalesced" leaves the writes to the delayed write.
//
// Counters: replacements of the file per burst, and per second of the burst.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/sim/defaults/file_defaults.h"
#include "platform/sim/dispatch/virtual_dispatch.h"

namespace vistarail {
namespace {

namespace fs = std::filesystem;

constexpr int kAssignments = 100;
constexpr double kSpacingSeconds = 0.01;

enum class Writes { everyChange, coalesced };

void burst(benchmark::State& state, Writes writes) {
  std::string pattern = (fs::temp_directory_path() / "vistarail-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const fs::path folder = pattern;
  uint64_t replacements = 0;
  for (auto _ : state) {
    sim::VirtualDispatch dispatch;
    sim::FileDefaults defaults(
        folder / "defaults.json", [](const std::string&) {}, dispatch.makeSerialQueue("defaults"));
    for (int i = 0; i < kAssignments; ++i) {
      defaults.set("dimAmount", 0.1 + i * 0.007);
      if (writes == Writes::everyChange) defaults.flush();
      dispatch.runFor(kSpacingSeconds);
    }
    dispatch.runUntilIdle();
    replacements += defaults.filesWritten();
  }
  const double perBurst = static_cast<double>(replacements) / state.iterations();
  state.counters["replacements/burst"] = perBurst;
  state.counters["replacements/s"] = perBurst / (kAssignments * kSpacingSeconds);
  std::error_code ec;
  fs::remove_all(folder, ec);
}

BENCHMARK_CAPTURE(burst, every_change, Writes::everyChange)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(burst, coalesced, Writes::coalesced)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vistarail
