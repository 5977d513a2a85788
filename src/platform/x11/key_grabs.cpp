#include "platform/x11/key_grabs.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <utility>

namespace vistarail::x11 {

namespace {

// Hot-key modifier bits (the program's KeyCombo convention).
constexpr uint32_t kCommand = 0x100;
constexpr uint32_t kShift = 0x200;
constexpr uint32_t kOption = 0x800;
constexpr uint32_t kControl = 0x1000;

constexpr std::pair<uint32_t, uint32_t> kKeys[] = {
    // Letters, in the order of the ANSI key codes.
    {0, XK_a},
    {1, XK_s},
    {2, XK_d},
    {3, XK_f},
    {4, XK_h},
    {5, XK_g},
    {6, XK_z},
    {7, XK_x},
    {8, XK_c},
    {9, XK_v},
    {11, XK_b},
    {12, XK_q},
    {13, XK_w},
    {14, XK_e},
    {15, XK_r},
    {16, XK_y},
    {17, XK_t},
    {31, XK_o},
    {32, XK_u},
    {34, XK_i},
    {35, XK_p},
    {37, XK_l},
    {38, XK_j},
    {40, XK_k},
    {45, XK_n},
    {46, XK_m},
    // Digits.
    {18, XK_1},
    {19, XK_2},
    {20, XK_3},
    {21, XK_4},
    {23, XK_5},
    {22, XK_6},
    {26, XK_7},
    {28, XK_8},
    {25, XK_9},
    {29, XK_0},
    // Punctuation.
    {24, XK_equal},
    {27, XK_minus},
    {30, XK_bracketright},
    {33, XK_bracketleft},
    {39, XK_apostrophe},
    {41, XK_semicolon},
    {42, XK_backslash},
    {43, XK_comma},
    {44, XK_slash},
    {47, XK_period},
    {50, XK_grave},
    // Editing and navigation.
    {36, XK_Return},
    {48, XK_Tab},
    {49, XK_space},
    {51, XK_BackSpace},
    {53, XK_Escape},
    {115, XK_Home},
    {116, XK_Prior},
    {117, XK_Delete},
    {119, XK_End},
    {121, XK_Next},
    {123, XK_Left},
    {124, XK_Right},
    {125, XK_Down},
    {126, XK_Up},
    // Function keys.
    {122, XK_F1},
    {120, XK_F2},
    {99, XK_F3},
    {118, XK_F4},
    {96, XK_F5},
    {97, XK_F6},
    {98, XK_F7},
    {100, XK_F8},
    {101, XK_F9},
    {109, XK_F10},
    {103, XK_F11},
    {111, XK_F12},
};

}  // namespace

std::optional<uint32_t> keysymForKeyCode(uint32_t macKeyCode) {
  for (const auto& [code, sym] : kKeys) {
    if (code == macKeyCode) return sym;
  }
  return std::nullopt;
}

std::optional<uint32_t> keyCodeForKeysym(uint32_t keysym) {
  if (keysym >= XK_A && keysym <= XK_Z) keysym += XK_a - XK_A;
  for (const auto& [code, sym] : kKeys) {
    if (sym == keysym) return code;
  }
  return std::nullopt;
}

unsigned int xModifiersFor(uint32_t m) {
  unsigned int x = 0;
  if (m & kCommand) x |= Mod4Mask;
  if (m & kShift) x |= ShiftMask;
  if (m & kOption) x |= Mod1Mask;
  if (m & kControl) x |= ControlMask;
  return x;
}

uint32_t hotKeyModifiersFor(unsigned int state) {
  uint32_t m = 0;
  if (state & Mod4Mask) m |= kCommand;
  if (state & ShiftMask) m |= kShift;
  if (state & Mod1Mask) m |= kOption;
  if (state & ControlMask) m |= kControl;
  return m;
}

std::vector<unsigned int> lockVariants(unsigned int modifiers, unsigned int numLockMask) {
  std::vector<unsigned int> states{modifiers, modifiers | LockMask};
  if (numLockMask != 0 && numLockMask != LockMask && !(modifiers & numLockMask)) {
    states.push_back(modifiers | numLockMask);
    states.push_back(modifiers | numLockMask | LockMask);
  }
  return states;
}

}  // namespace vistarail::x11
