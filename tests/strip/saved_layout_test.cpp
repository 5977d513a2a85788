#include "strip/saved_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/sim/defaults/memory_defaults.h"
#include "strip/layout_restore.h"
#include "strip/layout_store.h"
#include "strip_builders.h"

namespace vistarail {
namespace {

using test::describe;
using test::parseStrip;

std::optional<SavedLayouts> decode(const std::string& text) {
  return decodeSavedLayouts(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::string encodeToText(const SavedLayouts& layouts) {
  const auto data = encodeSavedLayouts(layouts);
  return data ? std::string(data->begin(), data->end()) : "<failed>";
}

SavedStrip exampleStrip() {
  return {{{{4711, 4712}, 0.5}, {{4801}, 0.3333333333333333}},
          1,
          std::map<WindowId, double>{{4711, 420}, {4712, 415}, {4801, 640}}};
}

TEST(SavedLayoutCodec, ReadsTheStoredShapeAndWritesWhatItReads) {
  EXPECT_EQ(decode(R"({"abc/41":{"columns":[{"windows":[4711,4712],"proportion":0.5},)"
                   R"({"windows":[4801],"proportion":0.3333333333333333}],"focusedIndex":1,)"
                   R"("preferredHeights":[4801,640,4711,420,4712,415]}})"),
            (SavedLayouts{{"abc/41", exampleStrip()}}));

  // Heights in window order, whole numbers without a fraction, no spaces.
  SavedLayouts layouts{{"abc/41", exampleStrip()}};
  const std::string text = encodeToText(layouts);
  for (const char* part : {R"("preferredHeights":[4711,420,4712,415,4801,640])",
                           R"("windows":[4711,4712])", R"("proportion":0.3333333333333333)"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
  }
  EXPECT_EQ(text.find(' '), std::string::npos) << text;
  EXPECT_EQ(decode(text), layouts);
  // Absent heights are left out, not written as null or an empty list.
  layouts["abc/41"].preferredHeights.reset();
  layouts["abc/41"].columns[0].proportion = 1.0;
  const std::string bare = encodeToText(layouts);
  EXPECT_EQ(bare.find("preferredHeights"), std::string::npos) << bare;
  EXPECT_NE(bare.find(R"("proportion":1,)"), std::string::npos) << bare;
  EXPECT_EQ(decode(bare), layouts);
}

TEST(SavedLayoutCodec, AcceptsWhatThePlatformsDecoderAccepts) {
  // Missing or null heights, unknown keys, whole numbers written as decimals,
  // escaped slashes and the largest window id all decode.
  // A proportion is bounded when laid out and a focus clamped when restored, not here.
  EXPECT_EQ(decode(R"({"a\/1":{"columns":[],"focusedIndex":0},)"
                   R"("a/2":{"columns":[{"windows":[4294967295,7.0],"proportion":1,"extra":[{}]}],)"
                   R"("focusedIndex":2.0,"preferredHeights":null,"note":"x"},)"
                   R"("a/3":{"columns":[{"windows":[1],"proportion":1e300}],"focusedIndex":-4}})"),
            (SavedLayouts{{"a/1", SavedStrip{}},
                          {"a/2", SavedStrip{{{{4294967295u, 7}, 1}}, 2, std::nullopt}},
                          {"a/3", SavedStrip{{{{1}, 1e300}}, -4, std::nullopt}}}));
  EXPECT_EQ(decode("{}"), SavedLayouts{});
}

TEST(SavedLayoutCodec, AValueThatIsNotAJsonObjectGivesNoValueAtAll) {
  const std::string nested = R"({"a/1":{"columns":[],"focusedIndex":0,"x":)";
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"truncated", R"({"a/1":{"columns":[{"windows":[1,2)"},
      {"trailing garbage", "{}x"},
      {"not an object", "[]"},
      {"invalid UTF-8 in a key", "{\"a\xff/1\":{\"columns\":[],\"focusedIndex\":0}}"},
      {"invalid UTF-8 outside strings", "{\xc3\x28}"},
      {"nesting deeper than the platform allows",
       nested + std::string(600, '[') + std::string(600, ']') + "}}"},
      {"larger than the limit", nested + '"' + std::string(kMaxSavedLayoutBytes, 'x') + "\"}}"},
  };
  for (const auto& [what, text] : cases) EXPECT_EQ(decode(text), std::nullopt) << what;
  // Real data stays well within the limits; brackets inside strings are not nesting.
  EXPECT_TRUE(decode(nested + std::string(500, '[') + std::string(500, ']') + "}}"));
  EXPECT_TRUE(decode("{\"" + std::string(2000, '[') + "\":{\"columns\":[],\"focusedIndex\":0}}"));
}

// An entry with one column, or with no columns and the rest after "focusedIndex":.
std::string withColumn(const std::string& column) {
  return R"({"columns":[)" + column + R"(],"focusedIndex":0})";
}
std::string withFocus(const std::string& rest) {
  return R"({"columns":[],"focusedIndex":)" + rest + "}";
}

TEST(SavedLayoutCodec, AMalformedEntryIsSkippedAndTheOthersSurvive) {
  const std::pair<const char*, std::string> cases[] = {
      {"strip not an object", "[1]"},
      {"columns missing", R"({"focusedIndex":0})"},
      {"focusedIndex missing", R"({"columns":[]})"},
      {"columns null", R"({"columns":null,"focusedIndex":0})"},
      {"windows missing", withColumn(R"({"proportion":1})")},
      {"proportion missing", withColumn(R"({"windows":[1]})")},
      {"proportion a string", withColumn(R"({"windows":[1],"proportion":"1"})")},
      {"proportion a boolean", withColumn(R"({"windows":[1],"proportion":true})")},
      {"window a string", withColumn(R"({"windows":["1"],"proportion":1})")},
      {"window negative", withColumn(R"({"windows":[-1],"proportion":1})")},
      {"window too large", withColumn(R"({"windows":[4294967296],"proportion":1})")},
      {"window with a fraction", withColumn(R"({"windows":[1.5],"proportion":1})")},
      {"focusedIndex with a fraction", withFocus("0.5")},
      {"focusedIndex enormous", withFocus("1e30")},
      {"focusedIndex past 64 bits", withFocus("9223372036854775808")},
      {"focusedIndex below 64 bits", withFocus("-9223372036854775809")},
      {"focusedIndex beyond a double", withFocus("1e400")},
      {"proportion beyond a double", withColumn(R"({"windows":[1],"proportion":-1e400})")},
      {"height beyond a double", withFocus(R"(0,"preferredHeights":[1,1E+400])")},
      {"heights of odd length", withFocus(R"(0,"preferredHeights":[1,2,3])")},
      {"heights as an object", withFocus(R"(0,"preferredHeights":{"1":2})")},
      {"height a string", withFocus(R"(0,"preferredHeights":[1,"2"])")},
  };
  for (const auto& [what, entry] : cases) {
    EXPECT_EQ(decode(R"({"a/1":)" + entry + "}"), SavedLayouts{}) << what;
    // The damaged entry costs only itself.
    EXPECT_EQ(decode(R"({"ok/1":)" + withFocus("0") + R"(,"a/1":)" + entry + "}"),
              (SavedLayouts{{"ok/1", SavedStrip{}}}))
        << what;
  }
}

TEST(SavedLayoutCodec, ValuesJsonCannotHoldFailTheWholeEncoding) {
  SavedLayouts layouts{{"a/1", exampleStrip()}};
  layouts["a/1"].columns[1].proportion = std::nan("");
  EXPECT_EQ(encodeSavedLayouts(layouts), std::nullopt);
  layouts["a/1"] = exampleStrip();
  (*layouts["a/1"].preferredHeights)[4711] = INFINITY;
  EXPECT_EQ(encodeSavedLayouts(layouts), std::nullopt);
  EXPECT_EQ(encodeSavedLayouts({{"a\xff/1", SavedStrip{}}}), std::nullopt);
}

using HeightsById = std::map<WindowId, double>;

// Stored text of layouts with one single-window column each, by key.
std::string entries(std::initializer_list<std::pair<const char*, WindowId>> layouts) {
  std::string text;
  for (const auto& [key, window] : layouts) {
    text += (text.empty() ? "{\"" : ",\"") + std::string(key) + R"(":{"columns":[{"windows":[)" +
            std::to_string(window) + R"(],"proportion":0.5}],"focusedIndex":0})";
  }
  return text + "}";
}

SavedStrip savedOne(WindowId window) {
  return {{{{window}, 0.5}}, 0, std::nullopt};
}

const std::vector<ConnectedDisplay> kPrimaryAbc{{"abc", true}};
const std::vector<ConnectedDisplay> kSecondaryOnly{{"xyz", false}};

struct LayoutStore : ::testing::Test {
  sim::MemoryDefaults defaults;
  void store(const char* key, const std::string& text) {
    defaults.setData(key, std::vector<uint8_t>(text.begin(), text.end()));
  }
  SavedLayouts load(std::span<const ConnectedDisplay> displays = kPrimaryAbc) {
    return loadSavedLayouts(defaults, displays);
  }
  SaveOutcome save(std::initializer_list<StripToSave> strips,
                   std::span<const ConnectedDisplay> displays = kPrimaryAbc) {
    return saveLayouts(defaults, displays, std::span(strips.begin(), strips.size()));
  }
};

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

TEST_F(LayoutStore, LoadingMigratesTheOlderValueToTheFirstPrimaryDisplayAndNewerEntriesWin) {
  store(kLegacyLayoutKey, entries({{"7", 70}, {"+8", 80}, {"009", 90}, {"7a", 1}, {" 7", 2}}));
  EXPECT_EQ(
      load(),
      (SavedLayouts{{"abc/7", savedOne(70)}, {"abc/8", savedOne(80)}, {"abc/9", savedOne(90)}}));
  store(kLayoutKey, entries({{"def/7", 1}}));
  store(kLegacyLayoutKey, entries({{"7", 2}, {"8", 3}}));
  const std::vector<ConnectedDisplay> displays{{"xyz", false}, {"def", true}, {"ghi", true}};
  EXPECT_EQ(load(displays), (SavedLayouts{{"def/7", savedOne(1)}, {"def/8", savedOne(3)}}));
  // Without a primary display the older value is ignored.
  EXPECT_EQ(load(kSecondaryOnly), (SavedLayouts{{"def/7", savedOne(1)}}));
  EXPECT_EQ(load({}), (SavedLayouts{{"def/7", savedOne(1)}}));
}

TEST_F(LayoutStore, UndecodableValuesCountAsAbsent) {
  store(kLayoutKey, R"({"abc/1":{"columns":[)");
  store(kLegacyLayoutKey, entries({{"7", 2}}));
  EXPECT_EQ(load(), (SavedLayouts{{"abc/7", savedOne(2)}}));
  store(kLayoutKey, entries({{"abc/1", 5}}));
  store(kLegacyLayoutKey, "not json");
  EXPECT_EQ(load(), (SavedLayouts{{"abc/1", savedOne(5)}}));
  // A value of another type than data is not a layout either.
  defaults.set(kLayoutKey, PropertyList("{}"));
  EXPECT_TRUE(load({}).empty());
}

TEST_F(LayoutStore, SavingCompletesTheMigrationOnlyWithAPrimaryDisplayAndKeepsOtherEntries) {
  store(kLayoutKey, entries({{"gone/3", 30}}));
  store(kLegacyLayoutKey, entries({{"7", 70}}));
  const Strip strip = parseStrip("[1 2] *[3]");
  EXPECT_EQ(save({{"xyz", 1, &strip}}, kSecondaryOnly), SaveOutcome::saved);
  EXPECT_TRUE(defaults.storedObject(kLegacyLayoutKey));
  EXPECT_EQ(save({{"abc", 41, &strip}}), SaveOutcome::saved);
  EXPECT_FALSE(defaults.storedObject(kLegacyLayoutKey));
  EXPECT_EQ(load(),
            (SavedLayouts{{"abc/41", SavedStrip{{{{1, 2}, 0.5}, {{3}, 0.5}}, 1, HeightsById{}}},
                          {"abc/7", savedOne(70)},
                          {"gone/3", savedOne(30)},
                          {"xyz/1", SavedStrip{{{{1, 2}, 0.5}, {{3}, 0.5}}, 1, HeightsById{}}}}));
}

TEST_F(LayoutStore, EntriesOfSpacesAConnectedDisplayNoLongerHasAreDropped) {
  store(kLayoutKey,
        entries({{"abc/1", 10}, {"abc/2", 20}, {"abc/3", 30}, {"abcd/3", 31}, {"away/3", 32}}));
  const Strip strip = parseStrip("*[4]");
  // Unknown Spaces: nothing can be said to be gone.
  ASSERT_EQ(save({{"abc", 9, &strip}}), SaveOutcome::saved);
  EXPECT_EQ(load().size(), 6u);
  // "abc" lists Spaces 1 and 2 now: 3 and 9 are gone, though 9's strip is in
  // memory and so written again; a display that only shares a prefix, and one
  // not connected, keep theirs.
  const std::vector<ConnectedDisplay> listed{{"abc", true, std::vector<int64_t>{1, 2}}};
  ASSERT_EQ(save({{"abc", 9, &strip}}, listed), SaveOutcome::saved);
  EXPECT_EQ(load(listed), (SavedLayouts{{"abc/1", savedOne(10)},
                                        {"abc/2", savedOne(20)},
                                        {"abc/9", SavedStrip{{{{4}, 0.5}}, 0, HeightsById{}}},
                                        {"abcd/3", savedOne(31)},
                                        {"away/3", savedOne(32)}}));
}

TEST_F(LayoutStore, StripsAwaitingTheirRestoreKeepTheirStoredEntryAndHeightsAreOnlyOfTheStrip) {
  store(kLayoutKey, entries({{"abc/5", 50}}));
  Strip waiting;  // created for a Space that never received a window
  waiting.pendingRestore = savedOne(50);
  const Strip empty;  // received windows that all left again: saved as empty
  Strip strip = parseStrip("*[1] [2]");
  strip.preferredHeights = {{1, 640}, {9, 300}};  // 9 has left the strip
  strip.minHeights = {{2, 500}};                  // learned minimums are not saved
  ASSERT_EQ(save({{"abc", 5, &waiting}, {"abc", 6, &empty}, {"abc", 7, &strip}}),
            SaveOutcome::saved);
  const SavedLayouts stored = load();
  EXPECT_EQ(stored.at("abc/5"), savedOne(50));
  EXPECT_TRUE(stored.at("abc/6").columns.empty());
  EXPECT_EQ(stored.at("abc/7").preferredHeights, (HeightsById{{1, 640}}));
}

TEST_F(LayoutStore, AStripThatCannotBeEncodedKeepsItsEntryAndDoesNotBlockTheOthers) {
  store(kLayoutKey, entries({{"abc/1", 10}}));
  Strip broken = parseStrip("*[1]");
  broken.preferredHeights[1] = std::nan("");
  const Strip fine = parseStrip("*[2]");
  EXPECT_EQ(save({{"abc", 1, &broken}, {"abc", 2, &fine}}), SaveOutcome::saved);
  const SavedLayouts stored = load({});
  EXPECT_EQ(stored.at("abc/1"), savedOne(10));
  ASSERT_TRUE(stored.contains("abc/2"));
  EXPECT_EQ(stored.at("abc/2").columns.at(0).windows, std::vector<WindowId>{2});
}

TEST_F(LayoutStore, AnEncodingFailureLeavesStoredDataUntouched) {
  store(kLayoutKey, entries({{"abc/1", 10}}));
  store(kLegacyLayoutKey, entries({{"7", 70}}));
  const size_t writesBefore = defaults.writeCount();
  const Strip strip = parseStrip("*[1]");
  EXPECT_EQ(save({{"abc\xff", 1, &strip}}), SaveOutcome::encodingFailed);  // not valid UTF-8
  EXPECT_EQ(defaults.writeCount(), writesBefore);
  EXPECT_TRUE(defaults.storedObject(kLegacyLayoutKey));
  EXPECT_EQ(load({}).at("abc/1"), savedOne(10));
}

JoiningWindow joining(WindowId window, double height = 500) {
  return {window, Rect(0, 0, 700, height)};
}

// Saved: [1 2] at 0.4, [3] at 0.6, focused on [3]; window 2 remembered at 333.
Strip waitingFor123() {
  Strip strip;
  strip.pendingRestore = SavedStrip{{{{1, 2}, 0.4}, {{3}, 0.6}}, 1, HeightsById{{2, 333}}};
  return strip;
}

TEST(LayoutRestore, RebuildsTheSavedColumnsFromTheWindowsThatStillExist) {
  Strip strip = waitingFor123();
  strip.preferredHeights[3] = 610;  // already known: kept
  EXPECT_EQ(applyPendingRestore(strip, {joining(2), joining(3), joining(4, 420)}),
            (std::vector<JoiningWindow>{joining(4, 420)}));
  EXPECT_EQ(describe(strip), "[2] *[3]");
  EXPECT_FALSE(strip.pendingRestore);
  EXPECT_EQ(strip.preferredHeights, (HeightMap{{2, 333}, {3, 610}}));  // 4 is not placed here
  // Restored columns are new columns with the saved proportion.
  EXPECT_TRUE(strip.verifyInvariants());
  EXPECT_EQ(strip.columns[0].proportion, 0.4);
  EXPECT_EQ(strip.columns[0].proportionBeforeFullWidth, std::nullopt);
  EXPECT_EQ(strip.columns[0].offset, Spring{});
}

TEST(LayoutRestore, AWindowWithoutAnyKnownHeightTakesItsFrameHeightAndFocusIsClamped) {
  Strip strip = waitingFor123();
  applyPendingRestore(strip, {joining(1, 456), joining(2)});
  EXPECT_EQ(describe(strip), "*[1 2]");
  EXPECT_EQ(strip.preferredHeights.at(1), 456);
}

TEST(LayoutRestore, ASavedStripWhoseWindowsAreGoneIsUsedUpAndPlacesNothing) {
  Strip strip = waitingFor123();
  const std::vector<JoiningWindow> fresh{joining(4), joining(9)};
  EXPECT_EQ(applyPendingRestore(strip, fresh), fresh);
  EXPECT_TRUE(strip.empty());
  EXPECT_EQ(strip.focusedIndex, 0);
  EXPECT_FALSE(strip.pendingRestore);
  // Without a pending restore nothing changes and every window goes on.
  EXPECT_EQ(applyPendingRestore(strip, fresh), fresh);
  EXPECT_TRUE(strip.empty());
}

TEST(LayoutRestore, StoredDataNamingAWindowTwiceStillGivesAValidStrip) {
  Strip strip;
  strip.pendingRestore = SavedStrip{{{{1, 1, 2}, 0.5}, {{2, 3}, 3.5}, {{}, 0.5}}, -7, std::nullopt};
  EXPECT_TRUE(applyPendingRestore(strip, {joining(1), joining(3), joining(1), joining(2)}).empty());
  EXPECT_EQ(describe(strip), "*[1 2] [3]");
  EXPECT_EQ(strip.columns[1].proportion, 3.5);  // as stored
  std::string why;
  EXPECT_TRUE(strip.verifyInvariants(&why)) << why;
  // A window repeated among those joining goes on only once.
  Strip plain;
  EXPECT_EQ(applyPendingRestore(plain, {joining(4), joining(4), joining(1)}),
            (std::vector<JoiningWindow>{joining(4), joining(1)}));
}

}  // namespace
}  // namespace vistarail
