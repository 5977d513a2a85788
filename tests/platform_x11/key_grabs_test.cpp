// gtest before the X headers: their macros (None, Bool) break gtest's own names.
#include <gtest/gtest.h>

#include "platform/x11/key_grabs.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <algorithm>

namespace vistarail::x11 {
namespace {

constexpr uint32_t kCommand = 0x100, kShift = 0x200, kOption = 0x800, kControl = 0x1000;

TEST(KeyGrabs, TheDefaultShortcutsKeysHaveKeysyms) {
  struct Case {
    uint32_t code;
    uint32_t keysym;
  };
  const Case cases[] = {{123, XK_Left},
                        {124, XK_Right},
                        {125, XK_Down},
                        {126, XK_Up},
                        {115, XK_Home},
                        {119, XK_End},
                        {4, XK_h},
                        {37, XK_l},
                        {40, XK_k},
                        {38, XK_j},
                        {18, XK_1},
                        {25, XK_9},
                        {15, XK_r},
                        {3, XK_f},
                        {24, XK_equal},
                        {27, XK_minus},
                        {33, XK_bracketleft},
                        {30, XK_bracketright},
                        {17, XK_t},
                        {35, XK_p},
                        {1, XK_s},
                        {8, XK_c}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(keysymForKeyCode(c.code), c.keysym);
    EXPECT_EQ(keyCodeForKeysym(c.keysym), c.code);
  }
  EXPECT_EQ(keyCodeForKeysym(XK_H), 4u);           // either case
  EXPECT_FALSE(keysymForKeyCode(10).has_value());  // the ISO section key: unmapped
  EXPECT_FALSE(keyCodeForKeysym(XK_Hyper_L).has_value());
}

TEST(KeyGrabs, NoTwoKeyCodesShareAKeysym) {
  for (uint32_t code = 0; code < 128; ++code) {
    if (const auto sym = keysymForKeyCode(code)) {
      EXPECT_EQ(keyCodeForKeysym(*sym), code) << code;
    }
  }
}

TEST(KeyGrabs, ModifiersMapBothWaysAndLocksAreDropped) {
  EXPECT_EQ(xModifiersFor(kControl | kOption), unsigned(ControlMask | Mod1Mask));
  EXPECT_EQ(xModifiersFor(kCommand | kShift), unsigned(Mod4Mask | ShiftMask));
  EXPECT_EQ(xModifiersFor(0), 0u);
  for (uint32_t m : {0u, kControl | kOption, kControl | kOption | kShift, kCommand}) {
    EXPECT_EQ(hotKeyModifiersFor(xModifiersFor(m)), m);
  }
  // Caps Lock, Num Lock (Mod2) and a held button are not part of a combo.
  EXPECT_EQ(hotKeyModifiersFor(ControlMask | Mod1Mask | LockMask | Mod2Mask | Button1Mask),
            kControl | kOption);
}

TEST(KeyGrabs, EveryLockStateIsGrabbed) {
  const unsigned int combo = ControlMask | Mod1Mask;
  auto states = lockVariants(combo, Mod2Mask);
  std::sort(states.begin(), states.end());
  std::vector<unsigned int> expected{combo, combo | LockMask, combo | Mod2Mask,
                                     combo | LockMask | Mod2Mask};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(states, expected);
  // Without Num Lock on the keyboard: plain and Caps Lock only.
  EXPECT_EQ(lockVariants(combo, 0), (std::vector<unsigned int>{combo, combo | LockMask}));
  // A Num Lock mapped onto Caps Lock's modifier, or one the combo holds,
  // adds nothing twice.
  EXPECT_EQ(lockVariants(combo, LockMask).size(), 2u);
  EXPECT_EQ(lockVariants(combo | Mod2Mask, Mod2Mask).size(), 2u);
}

}  // namespace
}  // namespace vistarail::x11
