#pragma once
// The keyboard-layout adapter's reading of a key translation's result.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vistarail::macos {

// The units a translation produced: absent when it failed (a non-zero
// status); otherwise the first `length` units, never more than the buffer
// holds even when the reported length is larger.
std::optional<std::u16string> translatedUnits(int32_t status, const char16_t* buffer,
                                              size_t capacity, size_t length);

}  // namespace vistarail::macos
