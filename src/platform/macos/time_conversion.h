#pragma once
// Clock and delay conversions for the dispatch and display-link adapters.

#include <cstdint>

namespace vistarail::macos {

// Host ticks to seconds with the host's time base (numer/denom gives
// nanoseconds per tick: 1/1 on Intel, 125/3 on Apple silicon). A zero
// denominator (an unread time base) counts ticks as nanoseconds.
double hostTicksToSeconds(uint64_t ticks, uint32_t numer, uint32_t denom);

// A delay in seconds as the nanoseconds the dispatch clock takes. NaN and
// negative delays mean now; delays beyond the clock's range saturate
// (converting them directly would be undefined).
int64_t delayNanoseconds(double seconds);

}  // namespace vistarail::macos
