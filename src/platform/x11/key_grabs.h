#pragma once
// Hot keys as X key grabs. The program names keys by macOS virtual key code
// and modifiers by the hot-key mask; X grabs a key code (from a keysym) with
// an exact modifier state. Caps Lock and Num Lock are modifiers to X, so one
// hot key is several grabs: one for each combination of the lock keys. Pure.

#include <cstdint>
#include <optional>
#include <vector>

namespace vistarail::x11 {

// The keysym a US keyboard's key of that virtual key code types unshifted
// (arrows, Home, End, letters, digits, punctuation, function keys); absent for
// keys this side does not map.
std::optional<uint32_t> keysymForKeyCode(uint32_t macKeyCode);
// The virtual key code of a keysym (the inverse, letters in either case).
std::optional<uint32_t> keyCodeForKeysym(uint32_t keysym);

// Command, Shift, Option and Control to Super (Mod4), Shift, Alt (Mod1) and
// Control; other bits are ignored.
unsigned int xModifiersFor(uint32_t hotKeyModifiers);
// The inverse, for a key press's state: lock keys and buttons are dropped.
uint32_t hotKeyModifiersFor(unsigned int xState);

// Every state one hot key must be grabbed with: its modifiers alone and with
// each combination of Caps Lock and the modifier Num Lock is on (none when the
// keyboard has no Num Lock).
std::vector<unsigned int> lockVariants(unsigned int modifiers, unsigned int numLockMask);

}  // namespace vistarail::x11
