// The simulator's text services: caseless matching of canonically equivalent
// text in every script, accents kept, and locale-aware upper-casing.

#include "platform/sim/adapters/sim_text_services.h"

#include <gtest/gtest.h>

#include <string>

namespace vistarail::sim {
namespace {

TEST(SimTextServices, ContainsIgnoresCaseInEveryScriptButNotAccents) {
  struct Row {
    std::string text, part;
    bool contains;
  };
  const Row rows[] = {
      {"Mail — Inbox", "MAIL", true},
      {"Straße", "STRASSE", true},  // ß is ss with a case difference
      {"GROSSE STRASSE", "straße", true},
      {"ÉCRAN principal", "écran", true},
      {"E\u0301cran", "Écran", true},  // decomposed and precomposed accents
      {"Ecran", "Écran", false},       // the accent is a difference
      {"café", "cafe", false},
      {"ΟΔΥΣΣΕΥΣ", "οδυσσευς", true},  // final and medial sigma
      {"Москва", "МОСКВА", true},
      {"Document", "", true},
      {"", "a", false},
      {"Title", "Titles", false},
      {"\xFF\xFEWindow", "window", true},  // broken UTF-8 is kept as U+FFFD
  };
  const SimTextServices text("en_US");
  for (const Row& row : rows) {
    EXPECT_EQ(text.containsIgnoringCase(row.text, row.part), row.contains)
        << row.text << " / " << row.part;
  }
}

TEST(SimTextServices, CompareOrdersIgnoringCase) {
  const SimTextServices text;
  EXPECT_EQ(text.compareIgnoringCase("straße", "STRASSE"), 0);
  EXPECT_EQ(text.compareIgnoringCase("Ἀθήνα", "ἀθήνα"), 0);
  EXPECT_LT(text.compareIgnoringCase("apple", "Banana"), 0);
  EXPECT_GT(text.compareIgnoringCase("Zebra", "apple"), 0);
  EXPECT_NE(text.compareIgnoringCase("resume", "résumé"), 0);
  EXPECT_EQ(text.compareIgnoringCase("", ""), 0);
}

TEST(SimTextServices, UpperCasingFollowsTheLocale) {
  const SimTextServices english("en_US");
  const SimTextServices turkish("tr_TR");
  const SimTextServices greek("el_GR");
  EXPECT_EQ(english.upperCased("straße"), "STRASSE");
  EXPECT_EQ(english.upperCased("ǆungla"), "ǄUNGLA");
  EXPECT_EQ(english.upperCased("istanbul"), "ISTANBUL");
  EXPECT_EQ(turkish.upperCased("istanbul"), "İSTANBUL");
  EXPECT_EQ(turkish.upperCased("ılık"), "ILIK");
  EXPECT_EQ(english.upperCased("σοφός"), "ΣΟΦΌΣ");
  EXPECT_EQ(greek.upperCased("σοφός"), "ΣΟΦΟΣ");  // Greek drops the accents in capitals
  EXPECT_EQ(english.upperCased(""), "");
  EXPECT_EQ(english.upperCased("a\xC3"), "A\xEF\xBF\xBD");  // a cut-off sequence becomes U+FFFD
  EXPECT_EQ(english.locale(), "en_US");
}

}  // namespace
}  // namespace vistarail::sim
