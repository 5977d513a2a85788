#pragma once
// How a shortcut is written for people: the modifier symbols, always in the
// order ⌃⌥⇧⌘, then the key's name. Named keys (arrows, function keys, Return,
// Space, ...) have fixed names; other keys show what they type on the current
// keyboard layout, upper-cased by the platform's text services in the user's
// locale, so ⌃⌥Z on a German keyboard reads ⌃⌥Y when that is the key's label
// there.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "input/key_combo.h"
#include "platform/keyboard_layout.h"
#include "platform/text_services.h"

namespace vistarail {

inline constexpr uint32_t kEscapeKeyCode = 53;

// The fixed name of a key (arrows, Home/End, Page Up/Down, Return, Tab, Space,
// Delete, Forward Delete, Escape, F1-F20), absent for other keys.
std::optional<std::string_view> fixedKeyName(uint32_t keyCode);

// True for F1 through F20.
bool isFunctionKey(uint32_t keyCode);

// The modifier symbols of a mask, in display order.
std::string modifierSymbols(uint32_t modifiers);

// The full display text, recomputed on every call so that a layout switch
// shows at once.
std::string displayText(const KeyCombo& combo, const KeyboardLayout& layout,
                        const TextServices& text);

}  // namespace vistarail
