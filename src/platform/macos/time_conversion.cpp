#include "platform/macos/time_conversion.h"

#include <limits>

namespace vistarail::macos {

double hostTicksToSeconds(uint64_t ticks, uint32_t numer, uint32_t denom) {
  if (denom == 0 || numer == 0) return static_cast<double>(ticks) * 1e-9;
  // Whole and remainder parts separately: ticks * numer overflows 64 bits
  // after a few years of uptime at Apple silicon's time base.
  const uint64_t whole = ticks / denom;
  const uint64_t rest = ticks % denom;
  const long double nanoseconds =
      static_cast<long double>(whole) * numer +
      static_cast<long double>(rest) * numer / static_cast<long double>(denom);
  return static_cast<double>(nanoseconds * 1e-9L);
}

int64_t delayNanoseconds(double seconds) {
  if (!(seconds > 0)) return 0;
  const double ns = seconds * 1e9;
  if (ns >= static_cast<double>(std::numeric_limits<int64_t>::max())) {
    return std::numeric_limits<int64_t>::max();
  }
  return static_cast<int64_t>(ns);
}

}  // namespace vistarail::macos
