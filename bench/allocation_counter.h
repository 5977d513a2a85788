#pragma once
// Counts every allocation of the program through the global operator new, so
// a benchmark can report allocs/iter and show that a per-frame path
// allocates nothing. It replaces operator new: include it in the one source
// file of a benchmark program, and in no other.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace vistarail::bench {
inline std::atomic<uint64_t> gAllocations{0};
}  // namespace vistarail::bench

// Out of line, so that the compiler does not pair a call to new inlined in
// one place with free() inlined in another and warn of a mismatch.
[[gnu::noinline]] void* operator new(std::size_t size) {
  vistarail::bench::gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
  std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace vistarail::bench {

// Allocations per iteration of the timed loop, reported when it goes out of
// scope after the loop.
struct AllocationCounter {
  benchmark::State& state;
  uint64_t start = gAllocations.load();
  ~AllocationCounter() {
    const double allocations = static_cast<double>(gAllocations.load() - start);
    state.counters["allocs/iter"] =
        benchmark::Counter(allocations / static_cast<double>(state.iterations()));
  }
};

}  // namespace vistarail::bench
