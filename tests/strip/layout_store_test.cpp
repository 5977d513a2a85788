#include "strip/layout_store.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

#include "platform/sim/memory_defaults.h"
#include "strip_builders.h"

namespace vistarail {
namespace {

using testing::makeStrip;

void storeText(Defaults& defaults, const char* key, const std::string& text) {
  defaults.setData(key, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string entry(WindowId window, int focused = 0) {
  return R"({"columns":[{"windows":[)" + std::to_string(window) +
         R"(],"proportion":0.5}],"focusedIndex":)" + std::to_string(focused) + "}";
}

SavedStrip savedOne(WindowId window, int focused = 0) {
  return SavedStrip{{{{window}, 0.5}}, focused, std::nullopt};
}

const std::vector<ConnectedDisplay> kPrimaryAbc{{"abc", true}};
using HeightsById = std::map<WindowId, double>;

TEST(LegacyKeys, AnOptionalSignAndDigitsWithinSixtyFourBits) {
  EXPECT_EQ(parseLegacySpaceKey("7"), 7);
  EXPECT_EQ(parseLegacySpaceKey("+7"), 7);
  EXPECT_EQ(parseLegacySpaceKey("007"), 7);
  EXPECT_EQ(parseLegacySpaceKey("-12"), -12);
  EXPECT_EQ(parseLegacySpaceKey("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(parseLegacySpaceKey("-9223372036854775808"), INT64_MIN);
  for (const char* bad :
       {"7a", " 7", "7 ", "", "+", "-", "+-7", "0x7", "1e3", "7.0", "9223372036854775808",
        "-9223372036854775809", "99999999999999999999999"}) {
    EXPECT_EQ(parseLegacySpaceKey(bad), std::nullopt) << '"' << bad << '"';
  }
}

TEST(LoadSavedLayouts, MigratesTheOlderValueToThePrimaryDisplay) {
  sim::MemoryDefaults defaults;
  storeText(defaults, kLegacyLayoutKey,
            R"({"7":)" + entry(70) + R"(,"+8":)" + entry(80) + R"(,"009":)" + entry(90) +
                R"(,"7a":)" + entry(1) + R"(," 7":)" + entry(2) + "}");
  const SavedLayouts layouts = loadSavedLayouts(defaults, kPrimaryAbc);
  EXPECT_EQ(
      layouts,
      (SavedLayouts{{"abc/7", savedOne(70)}, {"abc/8", savedOne(80)}, {"abc/9", savedOne(90)}}));
}

TEST(LoadSavedLayouts, NewerEntriesWinAndTheFirstPrimaryDisplayIsUsed) {
  sim::MemoryDefaults defaults;
  storeText(defaults, kLayoutKey, R"({"def/7":)" + entry(1) + "}");
  storeText(defaults, kLegacyLayoutKey, R"({"7":)" + entry(2) + R"(,"8":)" + entry(3) + "}");
  const std::vector<ConnectedDisplay> displays{{"xyz", false}, {"def", true}, {"ghi", true}};
  EXPECT_EQ(loadSavedLayouts(defaults, displays),
            (SavedLayouts{{"def/7", savedOne(1)}, {"def/8", savedOne(3)}}));
}

TEST(LoadSavedLayouts, WithoutAPrimaryDisplayTheOlderValueIsIgnored) {
  sim::MemoryDefaults defaults;
  storeText(defaults, kLegacyLayoutKey, R"({"7":)" + entry(2) + "}");
  const std::vector<ConnectedDisplay> secondaryOnly{{"xyz", false}};
  EXPECT_TRUE(loadSavedLayouts(defaults, secondaryOnly).empty());
  EXPECT_TRUE(loadSavedLayouts(defaults, {}).empty());
}

TEST(LoadSavedLayouts, UndecodableValuesCountAsAbsent) {
  sim::MemoryDefaults defaults;
  storeText(defaults, kLayoutKey, R"({"abc/1":{"columns":[)");
  storeText(defaults, kLegacyLayoutKey, R"({"7":)" + entry(2) + "}");
  EXPECT_EQ(loadSavedLayouts(defaults, kPrimaryAbc), (SavedLayouts{{"abc/7", savedOne(2)}}));

  storeText(defaults, kLayoutKey, R"({"abc/1":)" + entry(5) + "}");
  storeText(defaults, kLegacyLayoutKey, "not json");
  EXPECT_EQ(loadSavedLayouts(defaults, kPrimaryAbc), (SavedLayouts{{"abc/1", savedOne(5)}}));

  // A value of another type than data is not a layout either.
  defaults.set(kLayoutKey, PropertyList("{}"));
  EXPECT_TRUE(loadSavedLayouts(defaults, {}).empty());
}

TEST(SaveLayouts, CompletesTheMigrationAndKeepsEntriesNotInMemory) {
  sim::MemoryDefaults defaults;
  storeText(defaults, kLayoutKey, R"({"gone/3":)" + entry(30) + "}");
  storeText(defaults, kLegacyLayoutKey, R"({"7":)" + entry(70) + "}");
  const Strip strip = makeStrip({{1, 2}, {3}}, 1);
  const StripToSave strips[] = {{"abc", 41, &strip}};
  EXPECT_EQ(saveLayouts(defaults, kPrimaryAbc, strips), SaveOutcome::saved);
  EXPECT_FALSE(defaults.storedObject(kLegacyLayoutKey));
  EXPECT_EQ(loadSavedLayouts(defaults, kPrimaryAbc),
            (SavedLayouts{{"abc/41", SavedStrip{{{{1, 2}, 0.5}, {{3}, 0.5}}, 1, HeightsById{}}},
                          {"abc/7", savedOne(70)},
                          {"gone/3", savedOne(30)}}));
}

TEST(SaveLayouts, WithoutAPrimaryDisplayTheOlderValueStays) {
  sim::MemoryDefaults defaults;
  storeText(defaults, kLegacyLayoutKey, R"({"7":)" + entry(70) + "}");
  const Strip strip = makeStrip({{1}});
  const StripToSave strips[] = {{"xyz", 1, &strip}};
  const std::vector<ConnectedDisplay> secondaryOnly{{"xyz", false}};
  EXPECT_EQ(saveLayouts(defaults, secondaryOnly, strips), SaveOutcome::saved);
  EXPECT_TRUE(defaults.storedObject(kLegacyLayoutKey));
  EXPECT_EQ(loadSavedLayouts(defaults, secondaryOnly).size(), 1u);
}

TEST(SaveLayouts, StripsAwaitingTheirRestoreKeepTheirStoredEntry) {
  sim::MemoryDefaults defaults;
  storeText(defaults, kLayoutKey, R"({"abc/5":)" + entry(50) + "}");
  Strip waiting;  // created for a Space that never received a window
  waiting.pendingRestore = savedOne(50);
  const Strip empty;  // received windows that all left again: saved as empty
  const StripToSave strips[] = {{"abc", 5, &waiting}, {"abc", 6, &empty}};
  ASSERT_EQ(saveLayouts(defaults, kPrimaryAbc, strips), SaveOutcome::saved);
  const SavedLayouts stored = loadSavedLayouts(defaults, kPrimaryAbc);
  EXPECT_EQ(stored.at("abc/5"), savedOne(50));
  EXPECT_TRUE(stored.at("abc/6").columns.empty());
}

TEST(SaveLayouts, WritesPreferredHeightsOnlyOfWindowsInTheStrip) {
  sim::MemoryDefaults defaults;
  Strip strip = makeStrip({{1}, {2}});
  strip.preferredHeights = {{1, 640}, {9, 300}};  // 9 has left the strip
  strip.minHeights = {{2, 500}};                  // learned minimums are not saved
  const StripToSave strips[] = {{"abc", 1, &strip}};
  ASSERT_EQ(saveLayouts(defaults, kPrimaryAbc, strips), SaveOutcome::saved);
  const SavedStrip saved = loadSavedLayouts(defaults, kPrimaryAbc).at("abc/1");
  EXPECT_EQ(saved.preferredHeights, (HeightsById{{1, 640}}));
}

TEST(SaveLayouts, AStripThatCannotBeEncodedKeepsItsEntryAndDoesNotBlockTheOthers) {
  sim::MemoryDefaults defaults;
  storeText(defaults, kLayoutKey, R"({"abc/1":)" + entry(10) + "}");
  Strip broken = makeStrip({{1}});
  broken.preferredHeights[1] = std::nan("");
  Strip fine = makeStrip({{2}});
  const StripToSave strips[] = {{"abc", 1, &broken}, {"abc", 2, &fine}};
  EXPECT_EQ(saveLayouts(defaults, kPrimaryAbc, strips), SaveOutcome::saved);
  const SavedLayouts stored = loadSavedLayouts(defaults, {});
  EXPECT_EQ(stored.at("abc/1"), savedOne(10));
  ASSERT_TRUE(stored.contains("abc/2"));
  EXPECT_EQ(stored.at("abc/2").columns.at(0).windows, std::vector<WindowId>{2});
}

TEST(SaveLayouts, AnEncodingFailureLeavesStoredDataUntouched) {
  sim::MemoryDefaults defaults;
  storeText(defaults, kLayoutKey, R"({"abc/1":)" + entry(10) + "}");
  storeText(defaults, kLegacyLayoutKey, R"({"7":)" + entry(70) + "}");
  const size_t writesBefore = defaults.writeCount();
  Strip strip = makeStrip({{1}});
  const StripToSave strips[] = {{"abc\xff", 1, &strip}};  // a key JSON cannot hold
  EXPECT_EQ(saveLayouts(defaults, kPrimaryAbc, strips), SaveOutcome::encodingFailed);
  EXPECT_EQ(defaults.writeCount(), writesBefore);
  EXPECT_TRUE(defaults.storedObject(kLegacyLayoutKey));
  EXPECT_EQ(loadSavedLayouts(defaults, {}).at("abc/1"), savedOne(10));
}

}  // namespace
}  // namespace vistarail
