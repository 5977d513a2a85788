#include "input/key_display.h"

#include <gtest/gtest.h>

#include "input/bindings.h"
#include "platform/sim/sim_keyboard_layout.h"

namespace vistarail {
namespace {

using sim::LayoutFailure;
using sim::SimKeyboardLayout;

TEST(KeyDisplay, SymbolsThenKeyNameOnAUsLayout) {
  SimKeyboardLayout us;
  EXPECT_EQ(displayText({0, 6144}, us), "⌃⌥A");
  EXPECT_EQ(displayText({49, 512}, us), "⇧Space");
  EXPECT_EQ(displayText({255, 0}, us), "Key 255");
  EXPECT_EQ(displayText({0, 0}, us), "A");
}

TEST(KeyDisplay, ModifierSymbolsKeepTheirOrderWhateverTheBitOrder) {
  SimKeyboardLayout us;
  const uint32_t all = kCommandKeyMask | kShiftKeyMask | kOptionKeyMask | kControlKeyMask;
  EXPECT_EQ(displayText({1, all}, us), "⌃⌥⇧⌘S");
  EXPECT_EQ(displayText({1, kCommandKeyMask | kShiftKeyMask}, us), "⇧⌘S");
  // Bits outside the four modifiers show nothing.
  EXPECT_EQ(displayText({1, 0x1}, us), "S");
}

TEST(KeyDisplay, DefaultBindingsReadAsPrintedOnAUsKeyboard) {
  SimKeyboardLayout us;
  const Bindings defaults = defaultBindings();
  const auto texts = [&](Action action) {
    std::vector<std::string> out;
    for (const KeyCombo& combo : defaults.at(action)) out.push_back(displayText(combo, us));
    return out;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(texts(Action::focusLeft), (V{"⌃⌥←", "⌃⌥H"}));
  EXPECT_EQ(texts(Action::focusRight), (V{"⌃⌥→", "⌃⌥L"}));
  EXPECT_EQ(texts(Action::focusUp), (V{"⌃⌥↑", "⌃⌥K"}));
  EXPECT_EQ(texts(Action::focusDown), (V{"⌃⌥↓", "⌃⌥J"}));
  EXPECT_EQ(texts(Action::focusFirst), (V{"⌃⌥↖"}));
  EXPECT_EQ(texts(Action::focusLast), (V{"⌃⌥↘"}));
  for (int n = 1; n <= 9; ++n) {
    const auto action = actionFromRaw("focusColumn" + std::to_string(n));
    EXPECT_EQ(texts(*action), (V{"⌃⌥" + std::to_string(n)}));
  }
  EXPECT_EQ(texts(Action::moveLeft), (V{"⌃⌥⇧←", "⌃⌥⇧H"}));
  EXPECT_EQ(texts(Action::moveDown), (V{"⌃⌥⇧↓", "⌃⌥⇧J"}));
  EXPECT_EQ(texts(Action::moveToFirst), (V{"⌃⌥⇧↖"}));
  EXPECT_EQ(texts(Action::cycleWidth), (V{"⌃⌥R"}));
  EXPECT_EQ(texts(Action::cycleWidthBack), (V{"⌃⌥⇧R"}));
  EXPECT_EQ(texts(Action::fullWidth), (V{"⌃⌥F"}));
  EXPECT_EQ(texts(Action::center), (V{"⌃⌥C"}));
  EXPECT_EQ(texts(Action::widen), (V{"⌃⌥="}));
  EXPECT_EQ(texts(Action::narrow), (V{"⌃⌥-"}));
  EXPECT_EQ(texts(Action::stackIntoLeft), (V{"⌃⌥["}));
  EXPECT_EQ(texts(Action::popOut), (V{"⌃⌥]"}));
  EXPECT_EQ(texts(Action::toggleFloat), (V{"⌃⌥T"}));
  EXPECT_EQ(texts(Action::retile), (V{"⌃⌥⇧T"}));
  EXPECT_EQ(texts(Action::togglePause), (V{"⌃⌥P"}));
  EXPECT_EQ(texts(Action::toggleCarousel), (V{"⌃⌥S"}));
}

TEST(KeyDisplay, NamedKeysNeverAskTheLayout) {
  SimKeyboardLayout layout;
  layout.setFailure(LayoutFailure::translationError);
  EXPECT_EQ(displayText({96, 0}, layout), "F5");
  EXPECT_EQ(displayText({122, 0}, layout), "F1");
  EXPECT_EQ(displayText({90, 0}, layout), "F20");
  EXPECT_EQ(displayText({64, 0}, layout), "F17");
  EXPECT_EQ(displayText({36, 0}, layout), "↩");
  EXPECT_EQ(displayText({48, 0}, layout), "⇥");
  EXPECT_EQ(displayText({51, 0}, layout), "⌫");
  EXPECT_EQ(displayText({117, 0}, layout), "⌦");
  EXPECT_EQ(displayText({53, 0}, layout), "⎋");
  EXPECT_EQ(displayText({116, 0}, layout), "⇞");
  EXPECT_EQ(displayText({121, 0}, layout), "⇟");
  EXPECT_EQ(layout.translationCount(), 0);
}

TEST(KeyDisplay, EveryLayoutFailureFallsBackToTheKeyCode) {
  for (const auto failure : {LayoutFailure::noInputSource, LayoutFailure::noUnicodeLayout,
                             LayoutFailure::translationError}) {
    SimKeyboardLayout layout;
    layout.setFailure(failure);
    EXPECT_EQ(displayText({0, 6144}, layout), "⌃⌥Key 0");
  }
}

TEST(KeyDisplay, OtherLayoutsShowTheirOwnLettersUpperCased) {
  SimKeyboardLayout layout;
  layout.useLayout(SimKeyboardLayout::germanLayout());
  EXPECT_EQ(displayText({6, 6144}, layout), "⌃⌥Y");  // the key US keyboards label Z
  EXPECT_EQ(displayText({16, 6144}, layout), "⌃⌥Z");
  EXPECT_EQ(displayText({41, 0}, layout), "Ö");
  EXPECT_EQ(displayText({27, 0}, layout), "SS");
  layout.useLayout(SimKeyboardLayout::russianLayout());
  EXPECT_EQ(displayText({0, 6144}, layout), "⌃⌥Ф");
  EXPECT_EQ(displayText({50, 0}, layout), "Ё");
  EXPECT_EQ(displayText({18, 0}, layout), "1");
}

TEST(KeyDisplay, BlankOrOversizedTranslationsFallBackToTheKeyCode) {
  SimKeyboardLayout layout;
  layout.useLayout({{10, u" \n"}, {11, u"\u3000x\t"}, {12, u"abcde"}, {13, u""}});
  EXPECT_EQ(displayText({10, 0}, layout), "Key 10");
  EXPECT_EQ(displayText({11, 0}, layout), "X");
  EXPECT_EQ(displayText({12, 0}, layout), "Key 12");  // does not fit the four-unit buffer
  EXPECT_EQ(displayText({13, 0}, layout), "Key 13");
}

TEST(KeyDisplay, KeyCodesBeyondSixteenBitsAreNotTranslated) {
  SimKeyboardLayout layout;
  // 65536 would alias key code 0 (A) if it were narrowed.
  EXPECT_EQ(displayText({65536, 0}, layout), "Key 65536");
  EXPECT_EQ(displayText({0xFFFFFFFF, 0}, layout), "Key 4294967295");
  EXPECT_EQ(layout.translationCount(), 0);
}

TEST(KeyDisplay, FunctionKeysAreExactlyF1ToF20) {
  int count = 0;
  for (uint32_t code = 0; code < 256; ++code) {
    if (!isFunctionKey(code)) continue;
    ++count;
    const auto name = fixedKeyName(code);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->front(), 'F');
  }
  EXPECT_EQ(count, 20);
}

}  // namespace
}  // namespace vistarail
