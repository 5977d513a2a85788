#pragma once
// A keyboard shortcut: a macOS virtual key code plus a modifier mask in the
// hot-key convention (the one global hot-key registration takes).

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vistarail {

// Hot-key modifier mask bits.
inline constexpr uint32_t kCommandKeyMask = 0x100;
inline constexpr uint32_t kShiftKeyMask = 0x200;
inline constexpr uint32_t kOptionKeyMask = 0x800;
inline constexpr uint32_t kControlKeyMask = 0x1000;

// Device-independent modifier flags of a key event.
inline constexpr uint64_t kEventFlagShift = 0x20000;
inline constexpr uint64_t kEventFlagControl = 0x40000;
inline constexpr uint64_t kEventFlagOption = 0x80000;
inline constexpr uint64_t kEventFlagCommand = 0x100000;

struct KeyCombo {
  uint32_t keyCode = 0;
  uint32_t modifiers = 0;

  // The combo a key event stands for: shift, control, option and command are
  // kept; caps lock, function, numeric pad and the device-dependent bits are not.
  static KeyCombo fromKeyEvent(uint32_t keyCode, uint64_t eventModifierFlags);

  bool operator==(const KeyCombo&) const = default;
  auto operator<=>(const KeyCombo&) const = default;
};

// Event modifier flags to the hot-key mask (see KeyCombo::fromKeyEvent).
uint32_t hotKeyModifiers(uint64_t eventModifierFlags);

}  // namespace vistarail

template <>
struct std::hash<vistarail::KeyCombo> {
  size_t operator()(const vistarail::KeyCombo& combo) const noexcept {
    return std::hash<uint64_t>{}((static_cast<uint64_t>(combo.keyCode) << 32) | combo.modifiers);
  }
};
