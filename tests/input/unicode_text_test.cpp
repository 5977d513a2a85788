#include "input/unicode_text.h"

#include <gtest/gtest.h>

namespace vistarail {
namespace {

std::string upper(const std::u16string& text) {
  return encodeUtf8(upperCased(decodeUtf16(text)));
}

TEST(UnicodeText, SurrogatePairsDecodeAndLoneSurrogatesAreReplaced) {
  EXPECT_EQ(decodeUtf16(u"\U0001F600"), U"\U0001F600");
  const std::u16string lone = {0xD83D, u'a', 0xDE00};
  EXPECT_EQ(decodeUtf16(lone), (std::u32string{0xFFFD, U'a', 0xFFFD}));
  EXPECT_EQ(encodeUtf8(decodeUtf16(u"\U0001F600")), "\xF0\x9F\x98\x80");
}

TEST(UnicodeText, TrimsUnicodeWhitespaceAtBothEndsOnly) {
  EXPECT_EQ(trimmedWhitespace(U"\u00A0 a b\r\n\u2028"), U"a b");
  EXPECT_EQ(trimmedWhitespace(U" \t\u0085"), U"");
  EXPECT_EQ(trimmedWhitespace(U"\u200Bx"), U"\u200Bx");  // zero-width space is not white space
}

TEST(UnicodeText, UpperCasesTheScriptsOfKeyboardLayouts) {
  EXPECT_EQ(upper(u"é"), "É");
  EXPECT_EQ(upper(u"ÿ"), "Ÿ");
  EXPECT_EQ(upper(u"ß"), "SS");
  EXPECT_EQ(upper(u"łĺžı"), "ŁĹŽI");
  EXPECT_EQ(upper(u"ĸ"), "ĸ");  // no upper case
  EXPECT_EQ(upper(u"ςωά"), "ΣΩΆ");
  EXPECT_EQ(upper(u"жёћ"), "ЖЁЋ");
  EXPECT_EQ(upper(u"ӂ"), "Ӂ");
  EXPECT_EQ(upper(u"ա"), "Ա");
  EXPECT_EQ(upper(u"ÄÖ÷1=ん"), "ÄÖ÷1=ん");  // already upper, or caseless
}

}  // namespace
}  // namespace vistarail
