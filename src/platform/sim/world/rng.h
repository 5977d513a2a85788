#pragma once
// SplitMix64: tiny, seedable and identical on every standard library, unlike
// the distributions of <random>, so a seed printed by a failing run replays
// the same run anywhere.

#include <cstdint>

namespace vistarail::sim {

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}

  uint64_t next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }
  // [0, 1)
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  // [0, n); 0 when n is not positive.
  int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<uint64_t>(n)); }
  // [low, high)
  double uniform(double low, double high) { return low + (high - low) * unit(); }
  // True once in `oneIn` draws, on average.
  bool chance(int oneIn) { return below(oneIn) == 0; }

  // [low, high]; the tiny bias of a modulo does not matter to a simulation.
  int64_t between(int64_t low, int64_t high) {
    if (high <= low) return low;
    const uint64_t span = static_cast<uint64_t>(high - low) + 1;
    return low + static_cast<int64_t>(next() % span);
  }

 private:
  uint64_t state_;
};

}  // namespace vistarail::sim
