#pragma once
// The current keyboard layout, asked what a key types, for showing shortcuts
// by the characters printed on the user's keyboard.
//
// On macOS this is the current keyboard layout input source and its Unicode
// key layout data, translated with the "display" key action, no modifiers,
// the current keyboard type and a fresh dead-key state.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vistarail {

class KeyboardLayout {
 public:
  // The translation is read into a buffer of this many UTF-16 units.
  static constexpr size_t kMaxUnits = 4;

  virtual ~KeyboardLayout() = default;

  // The UTF-16 units the key types with no modifier held: at most kMaxUnits,
  // possibly none (the layout has nothing for the key). Absent when there is
  // no current layout, it carries no Unicode data, or the translation fails.
  virtual std::optional<std::u16string> displayCharacters(uint16_t keyCode) const = 0;
};

}  // namespace vistarail
