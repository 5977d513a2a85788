#pragma once
// The keyboard-layout port over Text Input Sources and the Unicode key
// translation. The input-source calls belong to the main thread.

#include "platform/keyboard_layout.h"

namespace vistarail::macos {

class MacKeyboardLayout final : public KeyboardLayout {
 public:
  std::optional<std::u16string> displayCharacters(uint16_t keyCode) const override;
};

}  // namespace vistarail::macos
