#include "platform/macos/ax_translation.h"

#include <cmath>
#include <limits>

namespace vistarail::macos {

AXError axErrorFromCode(int32_t code) {
  if (code == 0) return AXError::success;
  const int32_t first = static_cast<int32_t>(AXError::notEnoughPrecision);
  const int32_t last = static_cast<int32_t>(AXError::failure);
  if (code >= first && code <= last) return static_cast<AXError>(code);
  return AXError::failure;
}

float messagingTimeoutValue(double seconds) {
  if (!(seconds > 0)) return 0;
  if (seconds >= static_cast<double>(std::numeric_limits<float>::max())) {
    return std::numeric_limits<float>::max();
  }
  return static_cast<float>(seconds);
}

}  // namespace vistarail::macos
