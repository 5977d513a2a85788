// How a combo is shown: modifier symbols, fixed key names, the keyboard
// layout's characters upper-cased, and the fallbacks when a layout fails.

#include "input/key_display.h"

#include <gtest/gtest.h>

#include <set>

#include "input/bindings.h"
#include "input/unicode_text.h"
#include "platform/sim/adapters/sim_keyboard_layout.h"
#include "platform/sim/adapters/sim_text_services.h"

namespace vistarail {
namespace {

using sim::LayoutFailure;
using sim::SimKeyboardLayout;

// The user's locale for upper-casing the key names: English unless a test says.
const sim::SimTextServices text("en_US");

TEST(KeyDisplay, ModifierSymbolsKeepTheirOrderThenTheKeyName) {
  SimKeyboardLayout us;
  const uint32_t all = kCommandKeyMask | kShiftKeyMask | kOptionKeyMask | kControlKeyMask;
  EXPECT_EQ(displayText({0, 0}, us, text), "A");
  EXPECT_EQ(displayText({49, 512}, us, text), "⇧Space");
  EXPECT_EQ(displayText({255, 0}, us, text), "Key 255");
  EXPECT_EQ(displayText({1, all}, us, text), "⌃⌥⇧⌘S");
  EXPECT_EQ(displayText({1, kCommandKeyMask | kShiftKeyMask}, us, text), "⇧⌘S");
  EXPECT_EQ(displayText({1, 0x1}, us, text), "S");  // bits outside the four modifiers show nothing
}

TEST(KeyDisplay, DefaultBindingsGiveEveryActionItsOwnShortcutsAsPrintedOnAUsKeyboard) {
  SimKeyboardLayout us;
  const Bindings defaults = defaultBindings();
  EXPECT_EQ(defaults.size(), kActionCount);
  std::vector<std::string> texts;
  std::set<std::string> distinct;
  for (const Action action : allActions()) {
    std::string shown;
    for (const KeyCombo& combo : defaults.at(action)) {
      shown += displayText(combo, us, text) + " ";
      distinct.insert(displayText(combo, us, text));
    }
    texts.push_back(shown);
  }
  EXPECT_EQ(distinct.size(), 41u) << "no shortcut is shared";
  EXPECT_EQ(
      texts,
      (std::vector<std::string>{
          "⌃⌥← ⌃⌥H ", "⌃⌥→ ⌃⌥L ",   "⌃⌥↑ ⌃⌥K ",   "⌃⌥↓ ⌃⌥J ",   "⌃⌥↖ ",       "⌃⌥↘ ",  "⌃⌥1 ",
          "⌃⌥2 ",     "⌃⌥3 ",       "⌃⌥4 ",       "⌃⌥5 ",       "⌃⌥6 ",       "⌃⌥7 ",  "⌃⌥8 ",
          "⌃⌥9 ",     "⌃⌥⇧← ⌃⌥⇧H ", "⌃⌥⇧→ ⌃⌥⇧L ", "⌃⌥⇧↑ ⌃⌥⇧K ", "⌃⌥⇧↓ ⌃⌥⇧J ", "⌃⌥⇧↖ ", "⌃⌥⇧↘ ",
          "⌃⌥R ",     "⌃⌥⇧R ",      "⌃⌥F ",       "⌃⌥C ",       "⌃⌥= ",       "⌃⌥- ",  "⌃⌥[ ",
          "⌃⌥] ",     "⌃⌥T ",       "⌃⌥⇧T ",      "⌃⌥P ",       "⌃⌥S "}));
}

TEST(KeyDisplay, NamedKeysAndCodesBeyondSixteenBitsNeverAskTheLayout) {
  SimKeyboardLayout layout;
  layout.setFailure(LayoutFailure::translationError);
  // 65536 would alias key code 0 (A) if it were narrowed.
  std::string shown;
  for (const uint32_t code :
       {96u, 122u, 90u, 64u, 36u, 48u, 51u, 117u, 53u, 116u, 121u, 65536u, 0xFFFFFFFFu}) {
    shown += displayText({code, 0}, layout, text) + " ";
  }
  EXPECT_EQ(shown, "F5 F1 F20 F17 ↩ ⇥ ⌫ ⌦ ⎋ ⇞ ⇟ Key 65536 Key 4294967295 ");
  EXPECT_EQ(layout.translationCount(), 0);
  int functionKeys = 0;
  for (uint32_t code = 0; code < 256; ++code) {
    if (!isFunctionKey(code)) continue;
    ++functionKeys;
    ASSERT_TRUE(fixedKeyName(code)) << code;
    EXPECT_EQ(fixedKeyName(code)->front(), 'F') << code;
  }
  EXPECT_EQ(functionKeys, 20);
}

TEST(KeyDisplay, EveryLayoutFailureAndBlankOrOversizedTextFallBackToTheKeyCode) {
  for (const auto failure : {LayoutFailure::noInputSource, LayoutFailure::noUnicodeLayout,
                             LayoutFailure::translationError}) {
    SimKeyboardLayout layout;
    layout.setFailure(failure);
    EXPECT_EQ(displayText({0, 6144}, layout, text), "⌃⌥Key 0");
  }
  SimKeyboardLayout layout;
  layout.useLayout({{10, u" \n"}, {11, u"\u3000x\t"}, {12, u"abcde"}, {13, u""}});
  EXPECT_EQ(displayText({10, 0}, layout, text), "Key 10");
  EXPECT_EQ(displayText({11, 0}, layout, text), "X");
  EXPECT_EQ(displayText({12, 0}, layout, text), "Key 12");  // does not fit the four-unit buffer
  EXPECT_EQ(displayText({13, 0}, layout, text), "Key 13");
}

TEST(KeyDisplay, OtherLayoutsShowTheirOwnLettersUpperCased) {
  SimKeyboardLayout layout;
  layout.useLayout(SimKeyboardLayout::germanLayout());
  EXPECT_EQ(displayText({6, 6144}, layout, text), "⌃⌥Y");  // the key US keyboards label Z
  EXPECT_EQ(displayText({41, 0}, layout, text), "Ö");
  EXPECT_EQ(displayText({27, 0}, layout, text), "SS");
  layout.useLayout(SimKeyboardLayout::russianLayout());
  EXPECT_EQ(displayText({0, 6144}, layout, text), "⌃⌥Ф");
  EXPECT_EQ(displayText({18, 0}, layout, text), "1");
}

TEST(UnicodeText, DecodesAndTrimsWhatKeyboardLayoutsAnswer) {
  EXPECT_EQ(decodeUtf16(u"\U0001F600"), U"\U0001F600");
  const std::u16string lone = {0xD83D, u'a', 0xDE00};  // lone surrogates are replaced
  EXPECT_EQ(decodeUtf16(lone), (std::u32string{0xFFFD, U'a', 0xFFFD}));
  EXPECT_EQ(encodeUtf8(decodeUtf16(u"\U0001F600")), "\xF0\x9F\x98\x80");
  EXPECT_EQ(trimmedWhitespace(U"\u00A0 a b\r\n\u2028"), U"a b");
  EXPECT_EQ(trimmedWhitespace(U" \t\u0085"), U"");
  EXPECT_EQ(trimmedWhitespace(U"\u200Bx"), U"\u200Bx");  // zero-width space is not white space
}

// Key names in every script a layout types are upper-cased by the platform,
// in the user's locale: the Turkish i key reads İ on a Turkish Mac.
TEST(KeyDisplay, LayoutLettersOfEveryScriptAreUpperCasedInTheUsersLocale) {
  SimKeyboardLayout layout;
  layout.useLayout({{0, u"é"},
                    {1, u"ß"},
                    {2, u"ς"},
                    {3, u"ћ"},
                    {4, u"ա"},
                    {5, u"ǆ"},
                    {6, u"ⴀ"},
                    {7, u"ꭰ"},
                    {8, u"i"},
                    {9, u"ı"},
                    {10, u"ん"},
                    {11, u"ΐ"}});
  std::string shown;
  for (uint32_t code = 0; code <= 11; ++code) shown += displayText({code, 0}, layout, text) + " ";
  // Georgian Nuskhuri and Cherokee small letters were beyond the old tables.
  // ΐ has no precomposed capital: it becomes Ι with its two marks.
  EXPECT_EQ(shown, "É SS Σ Ћ Ա Ǆ Ⴀ Ꭰ I I ん \u0399\u0308\u0301 ");
  const sim::SimTextServices turkish("tr_TR");
  EXPECT_EQ(displayText({8, kControlKeyMask}, layout, turkish), "⌃İ");
  EXPECT_EQ(displayText({9, kControlKeyMask}, layout, turkish), "⌃I");
}

}  // namespace
}  // namespace vistarail
