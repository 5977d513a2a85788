#include "platform/macos/key_translation.h"

#include <algorithm>

namespace vistarail::macos {

std::optional<std::u16string> translatedUnits(int32_t status, const char16_t* buffer,
                                              size_t capacity, size_t length) {
  if (status != 0 || buffer == nullptr) return std::nullopt;
  return std::u16string(buffer, std::min(length, capacity));
}

}  // namespace vistarail::macos
