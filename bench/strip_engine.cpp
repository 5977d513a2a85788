// The strip engine's per-frame path (frames, widths and positions, carousel
// frames, one spring step of a strip) and loading saved layouts.
//
// Every benchmark reports allocs/iter, counted by the global operator new of
// allocation_counter.h: the per-frame functions must allocate nothing once the caller's
// output buffer has grown to size. items_per_second counts windows laid out.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "allocation_counter.h"
#include "motion/spring.h"
#include "platform/sim/defaults/memory_defaults.h"
#include "strip/carousel.h"
#include "strip/layout.h"
#include "strip/layout_store.h"
#include "strip/strip.h"
#include "strip/strip_springs.h"

namespace vistarail {
namespace {

const LayoutGeometry kGeometry{Rect(0, 25, 1440, 875), 8, 8};

// Columns of varied widths holding 1 to maxStack windows, with preferred
// heights and a few learned minimums, as hours of use leave a strip.
Strip makeStrip(int columns, int maxStack) {
  Strip strip;
  const double proportions[] = {0.5, 1.0 / 3, 2.0 / 3, 0.75, 0.25};
  WindowId next = 1;
  for (int i = 0; i < columns; ++i) {
    const int stack = 1 + i % maxStack;
    std::vector<WindowId> windows;
    for (int j = 0; j < stack; ++j) {
      strip.preferredHeights[next] = 400 + (next % 7) * 50;
      if (next % 5 == 0) strip.minHeights[next] = 200;
      windows.push_back(next++);
    }
    strip.columns.emplace_back(std::move(windows), proportions[i % 5]);
  }
  strip.focusedIndex = columns / 2;
  return strip;
}

size_t windowCount(const Strip& strip) {
  size_t n = 0;
  for (const Column& c : strip.columns) n += c.windows.size();
  return n;
}

using bench::AllocationCounter;

void BM_Frames(benchmark::State& state) {
  const Strip strip = makeStrip(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  FrameList out;
  frames(strip, kGeometry, 0, out);  // the buffer grows once, before timing
  double scroll = 0;
  {
    AllocationCounter count{state};
    for (auto _ : state) {
      frames(strip, kGeometry, scroll, out);
      benchmark::DoNotOptimize(out.data());
      scroll = scroll > 500 ? 0 : scroll + 1.5;
    }
  }
  const auto windows = static_cast<int64_t>(windowCount(strip));
  state.SetItemsProcessed(state.iterations() * windows);
  state.SetComplexityN(windows);
}
BENCHMARK(BM_Frames)
    ->ArgsProduct({{10, 100, 1000}, {1, 2, 3}})
    ->ArgNames({"columns", "stack"})
    ->Complexity(benchmark::oN);

void BM_ColumnWidthsAndPositions(benchmark::State& state) {
  const Strip strip = makeStrip(static_cast<int>(state.range(0)), 1);
  std::vector<double> widths;
  std::vector<double> xs;
  columnWidths(strip, kGeometry, widths);
  columnXPositions(strip, kGeometry, xs);
  {
    AllocationCounter count{state};
    for (auto _ : state) {
      columnWidths(strip, kGeometry, widths);
      columnXPositions(strip, kGeometry, xs);
      benchmark::DoNotOptimize(widths.data());
      benchmark::DoNotOptimize(xs.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ColumnWidthsAndPositions)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->ArgName("columns")
    ->Complexity(benchmark::oN);

void BM_CarouselFrames(benchmark::State& state) {
  const Strip strip = makeStrip(static_cast<int>(state.range(0)), 3);
  VerifiedSizes verified;
  for (WindowId w : strip.allWindows()) verified[w] = Size{720, 600};
  FrameList out;
  carouselFrames(strip, kGeometry, 0.6, 0.8, verified, out);
  {
    AllocationCounter count{state};
    for (auto _ : state) {
      carouselFrames(strip, kGeometry, 0.6, 0.8, verified, out);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(windowCount(strip)));
}
BENCHMARK(BM_CarouselFrames)->Arg(100)->ArgName("columns");

// One 120 Hz frame of the springs of a strip whose scroll and every column
// are in motion. The springs are put back far from their targets each
// iteration (a few stores) so that every iteration does the full work.
void BM_StripSpringStep(benchmark::State& state) {
  Strip strip = makeStrip(static_cast<int>(state.range(0)), 1);
  const SpringFrame frame{.stiffness = kBaseSpringStiffness, .dtSeconds = 1.0 / 120};
  {
    AllocationCounter count{state};
    for (auto _ : state) {
      strip.scroll = Spring{0, 900, 0};
      for (Column& column : strip.columns) column.offset = Spring{-300, 0, 0};
      benchmark::DoNotOptimize(advanceStripSprings(strip, frame));
    }
  }
  state.SetItemsProcessed(state.iterations() * (state.range(0) + 1));
}
BENCHMARK(BM_StripSpringStep)->Arg(100)->ArgName("columns");

// What the animator does per display and frame: step the springs, then lay
// the strip out from them.
void BM_AnimationFrame(benchmark::State& state) {
  Strip strip = makeStrip(static_cast<int>(state.range(0)), 3);
  const SpringFrame frame{.stiffness = kBaseSpringStiffness, .dtSeconds = 1.0 / 120};
  FrameList out;
  frames(strip, kGeometry, 0, out);
  {
    AllocationCounter count{state};
    for (auto _ : state) {
      strip.scroll = Spring{0, 900, 0};
      for (Column& column : strip.columns) column.offset = Spring{-300, 0, 0};
      advanceStripSprings(strip, frame);
      frames(strip, kGeometry, strip.scroll.value, out);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(windowCount(strip)));
}
BENCHMARK(BM_AnimationFrame)->Arg(100)->ArgName("columns");

void BM_LoadSavedLayouts(benchmark::State& state) {
  sim::MemoryDefaults defaults;
  const int strips = static_cast<int>(state.range(0));
  std::vector<Strip> memory;
  memory.reserve(strips);
  std::vector<StripToSave> toSave;
  for (int i = 0; i < strips; ++i) {
    memory.push_back(makeStrip(8, 3));
    toSave.push_back({"0f8fad5b-d9cb-469f-a165-70867728950e", i + 1, &memory.back()});
  }
  const ConnectedDisplay primary[] = {{"0f8fad5b-d9cb-469f-a165-70867728950e", true}};
  saveLayouts(defaults, primary, toSave);
  state.counters["bytes"] = static_cast<double>(defaults.data(kLayoutKey)->size());
  {
    AllocationCounter count{state};
    for (auto _ : state) {
      SavedLayouts layouts = loadSavedLayouts(defaults, primary);
      benchmark::DoNotOptimize(layouts.size());
    }
  }
}
BENCHMARK(BM_LoadSavedLayouts)->Arg(50)->ArgName("strips");

}  // namespace
}  // namespace vistarail
