#include "input/key_display.h"

#include <algorithm>
#include <array>
#include <limits>

#include "input/unicode_text.h"

namespace vistarail {

namespace {

struct NamedKey {
  uint32_t keyCode;
  std::string_view name;
};

constexpr std::array<NamedKey, 14> kNamedKeys = {{
    {123, "←"},
    {124, "→"},
    {126, "↑"},
    {125, "↓"},
    {115, "↖"},  // Home
    {119, "↘"},  // End
    {116, "⇞"},  // Page Up
    {121, "⇟"},  // Page Down
    {36, "↩"},
    {48, "⇥"},
    {49, "Space"},
    {51, "⌫"},
    {117, "⌦"},
    {kEscapeKeyCode, "⎋"},
}};

// F1 ... F20, in order; the key codes follow the keyboard's wiring, not the numbers.
constexpr std::array<uint32_t, 20> kFunctionKeyCodes = {
    122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111, 105, 107, 113, 106, 64, 79, 80, 90,
};
constexpr std::array<std::string_view, 20> kFunctionKeyNames = {
    "F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",  "F9",  "F10",
    "F11", "F12", "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20",
};

// What the layout says the key types, as the key's name; absent when it
// says nothing printable.
std::optional<std::string> layoutKeyName(uint32_t keyCode, const KeyboardLayout& layout,
                                         const TextServices& textServices) {
  // The layout service takes 16-bit key codes; a larger one (only a damaged
  // stored combo could hold it) has no translation.
  if (keyCode > std::numeric_limits<uint16_t>::max()) return std::nullopt;
  const auto units = layout.displayCharacters(static_cast<uint16_t>(keyCode));
  if (!units || units->empty()) return std::nullopt;
  const std::u16string bounded = units->substr(0, KeyboardLayout::kMaxUnits);
  const std::u32string text = trimmedWhitespace(decodeUtf16(bounded));
  if (text.empty()) return std::nullopt;
  return textServices.upperCased(encodeUtf8(text));
}

}  // namespace

std::optional<std::string_view> fixedKeyName(uint32_t keyCode) {
  for (const NamedKey& key : kNamedKeys) {
    if (key.keyCode == keyCode) return key.name;
  }
  for (size_t i = 0; i < kFunctionKeyCodes.size(); ++i) {
    if (kFunctionKeyCodes[i] == keyCode) return kFunctionKeyNames[i];
  }
  return std::nullopt;
}

bool isFunctionKey(uint32_t keyCode) {
  return std::find(kFunctionKeyCodes.begin(), kFunctionKeyCodes.end(), keyCode) !=
         kFunctionKeyCodes.end();
}

std::string modifierSymbols(uint32_t modifiers) {
  std::string symbols;
  if (modifiers & kControlKeyMask) symbols += "⌃";
  if (modifiers & kOptionKeyMask) symbols += "⌥";
  if (modifiers & kShiftKeyMask) symbols += "⇧";
  if (modifiers & kCommandKeyMask) symbols += "⌘";
  return symbols;
}

std::string displayText(const KeyCombo& combo, const KeyboardLayout& layout,
                        const TextServices& textServices) {
  std::string text = modifierSymbols(combo.modifiers);
  if (const auto fixed = fixedKeyName(combo.keyCode)) {
    text += *fixed;
  } else if (const auto typed = layoutKeyName(combo.keyCode, layout, textServices)) {
    text += *typed;
  } else {
    text += "Key " + std::to_string(combo.keyCode);
  }
  return text;
}

}  // namespace vistarail
