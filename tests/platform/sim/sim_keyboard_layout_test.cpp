#include "platform/sim/sim_keyboard_layout.h"

#include <gtest/gtest.h>

namespace vistarail::sim {
namespace {

TEST(SimKeyboardLayout, AnswersAUsLayoutUntilToldOtherwise) {
  SimKeyboardLayout layout;
  EXPECT_EQ(layout.displayCharacters(0), u"a");
  EXPECT_EQ(layout.displayCharacters(6), u"z");
  EXPECT_EQ(layout.displayCharacters(24), u"=");
  EXPECT_EQ(layout.displayCharacters(42), u"\\");
  EXPECT_EQ(layout.displayCharacters(49), u" ");
  // A key the layout has nothing for translates to no characters, successfully.
  EXPECT_EQ(layout.displayCharacters(255), u"");
  layout.useLayout(SimKeyboardLayout::germanLayout());
  EXPECT_EQ(layout.displayCharacters(6), u"y");
  EXPECT_EQ(layout.displayCharacters(0), u"a");
  EXPECT_EQ(layout.translationCount(), 8);
}

TEST(SimKeyboardLayout, FailsAsToldAndRecovers) {
  SimKeyboardLayout layout;
  for (const auto failure : {LayoutFailure::noInputSource, LayoutFailure::noUnicodeLayout,
                             LayoutFailure::translationError}) {
    layout.setFailure(failure);
    EXPECT_EQ(layout.displayCharacters(0), std::nullopt);
  }
  layout.setFailure(LayoutFailure::none);
  EXPECT_EQ(layout.displayCharacters(0), u"a");
}

TEST(SimKeyboardLayout, TranslationsLongerThanTheBufferFail) {
  SimKeyboardLayout layout;
  layout.useLayout({{0, u"abcd"}, {1, u"abcde"}});
  EXPECT_EQ(layout.displayCharacters(0), u"abcd");
  EXPECT_EQ(layout.displayCharacters(1), std::nullopt);
}

}  // namespace
}  // namespace vistarail::sim
