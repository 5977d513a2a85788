#include "strip/saved_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace vistarail {
namespace {

std::optional<SavedLayouts> decode(const std::string& text) {
  return decodeSavedLayouts(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::string encodeToText(const SavedLayouts& layouts) {
  const auto data = encodeSavedLayouts(layouts);
  return data ? std::string(data->begin(), data->end()) : "<failed>";
}

const std::string kExampleEntry =
    R"({"columns":[{"windows":[4711,4712],"proportion":0.5},{"windows":[4801],)"
    R"("proportion":0.3333333333333333}],"focusedIndex":1,)"
    R"("preferredHeights":[4801,640,4711,420,4712,415]})";

SavedStrip exampleStrip() {
  SavedStrip s;
  s.columns = {{{4711, 4712}, 0.5}, {{4801}, 0.3333333333333333}};
  s.focusedIndex = 1;
  s.preferredHeights = std::map<WindowId, double>{{4711, 420}, {4712, 415}, {4801, 640}};
  return s;
}

TEST(SavedLayoutCodec, ReadsTheStoredShape) {
  const auto layouts = decode(R"({"abc/41":)" + kExampleEntry + "}");
  ASSERT_TRUE(layouts);
  ASSERT_EQ(layouts->size(), 1u);
  EXPECT_EQ(layouts->at("abc/41"), exampleStrip());
}

TEST(SavedLayoutCodec, WritesWhatItReadsWithWholeNumbersWithoutAFraction) {
  SavedLayouts layouts{{"abc/41", exampleStrip()}};
  const std::string text = encodeToText(layouts);
  EXPECT_NE(text.find(R"("preferredHeights":[4711,420,4712,415,4801,640])"), std::string::npos)
      << text;
  EXPECT_NE(text.find(R"("windows":[4711,4712])"), std::string::npos) << text;
  EXPECT_NE(text.find(R"("proportion":0.3333333333333333)"), std::string::npos) << text;
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
  const auto layouts =
      decode(R"({"a\/1":{"columns":[],"focusedIndex":0},)"
             R"("a/2":{"columns":[{"windows":[4294967295,7.0],"proportion":1,"extra":[{}]}],)"
             R"("focusedIndex":2.0,"preferredHeights":null,"note":"x"},)"
             R"("a/3":{"columns":[{"windows":[1],"proportion":1e300}],"focusedIndex":-4}})");
  ASSERT_TRUE(layouts);
  EXPECT_EQ(layouts->at("a/1"), (SavedStrip{{}, 0, std::nullopt}));
  EXPECT_EQ(layouts->at("a/2").columns[0].windows, (std::vector<WindowId>{4294967295u, 7}));
  EXPECT_EQ(layouts->at("a/2").focusedIndex, 2);
  EXPECT_EQ(layouts->at("a/3").columns[0].proportion, 1e300);  // bounded when laid out
  EXPECT_EQ(layouts->at("a/3").focusedIndex, -4);              // clamped when restored
  EXPECT_EQ(decode("{}"), SavedLayouts{});
}

struct BadInput {
  const char* what;
  std::string text;
};

TEST(SavedLayoutCodec, AValueThatIsNotAJsonObjectGivesNoValueAtAll) {
  const BadInput cases[] = {
      {"empty", ""},
      {"truncated", R"({"a/1":{"columns":[{"windows":[1,2)"},
      {"trailing garbage", "{}x"},
      {"not an object", "[]"},
      // The parser itself refuses a number beyond a double.
      {"number beyond a double", R"({"a/1":{"columns":[],"focusedIndex":1e400}})"},
      {"invalid UTF-8 in a key", "{\"a\xff/1\":{\"columns\":[],\"focusedIndex\":0}}"},
      {"invalid UTF-8 outside strings", "{\xc3\x28}"},
      {"nesting deeper than the platform allows",
       "{\"a/1\":{\"columns\":[],\"focusedIndex\":0,\"x\":" + std::string(600, '[') +
           std::string(600, ']') + "}}"},
  };
  for (const BadInput& bad : cases) EXPECT_EQ(decode(bad.text), std::nullopt) << bad.what;
}

TEST(SavedLayoutCodec, AMalformedEntryIsSkippedAndTheOthersSurvive) {
  const std::string good = R"("ok/1":{"columns":[],"focusedIndex":0})";
  const BadInput cases[] = {
      {"strip not an object", R"({"a/1":[1]})"},
      {"columns missing", R"({"a/1":{"focusedIndex":0}})"},
      {"focusedIndex missing", R"({"a/1":{"columns":[]}})"},
      {"columns null", R"({"a/1":{"columns":null,"focusedIndex":0}})"},
      {"windows missing", R"({"a/1":{"columns":[{"proportion":1}],"focusedIndex":0}})"},
      {"proportion missing", R"({"a/1":{"columns":[{"windows":[1]}],"focusedIndex":0}})"},
      {"proportion a string",
       R"({"a/1":{"columns":[{"windows":[1],"proportion":"1"}],"focusedIndex":0}})"},
      {"proportion a boolean",
       R"({"a/1":{"columns":[{"windows":[1],"proportion":true}],"focusedIndex":0}})"},
      {"window a string",
       R"({"a/1":{"columns":[{"windows":["1"],"proportion":1}],"focusedIndex":0}})"},
      {"window negative",
       R"({"a/1":{"columns":[{"windows":[-1],"proportion":1}],"focusedIndex":0}})"},
      {"window too large",
       R"({"a/1":{"columns":[{"windows":[4294967296],"proportion":1}],"focusedIndex":0}})"},
      {"window with a fraction",
       R"({"a/1":{"columns":[{"windows":[1.5],"proportion":1}],"focusedIndex":0}})"},
      {"focusedIndex with a fraction", R"({"a/1":{"columns":[],"focusedIndex":0.5}})"},
      {"focusedIndex enormous", R"({"a/1":{"columns":[],"focusedIndex":1e30}})"},
      {"focusedIndex past 64 bits", R"({"a/1":{"columns":[],"focusedIndex":9223372036854775808}})"},
      {"heights of odd length",
       R"({"a/1":{"columns":[],"focusedIndex":0,"preferredHeights":[1,2,3]}})"},
      {"heights as an object",
       R"({"a/1":{"columns":[],"focusedIndex":0,"preferredHeights":{"1":2}}})"},
      {"height a string", R"({"a/1":{"columns":[],"focusedIndex":0,"preferredHeights":[1,"2"]}})"},
  };
  for (const BadInput& bad : cases) {
    const auto alone = decode(bad.text);
    ASSERT_TRUE(alone) << bad.what;
    EXPECT_TRUE(alone->empty()) << bad.what;
    // The damaged entry costs only itself.
    const auto mixed = decode("{" + good + "," + bad.text.substr(1));
    ASSERT_TRUE(mixed) << bad.what;
    EXPECT_EQ(mixed->size(), 1u) << bad.what;
    EXPECT_TRUE(mixed->contains("ok/1")) << bad.what;
  }
}

TEST(SavedLayoutCodec, LimitsAreGenerousForRealDataAndFirmForHostileData) {
  // Brackets inside strings are not nesting.
  const std::string bracketsInKey =
      "{\"" + std::string(2000, '[') + "\":{\"columns\":[],\"focusedIndex\":0}}";
  EXPECT_TRUE(decode(bracketsInKey));
  const std::string nested500 =
      "{\"a/1\":{\"columns\":[],\"focusedIndex\":0,\"x\":" + std::string(500, '[') +
      std::string(500, ']') + "}}";
  EXPECT_TRUE(decode(nested500));

  std::string huge = R"({"a/1":{"columns":[],"focusedIndex":0,"x":")";
  huge += std::string(kMaxSavedLayoutBytes, 'x');
  huge += "\"}}";
  EXPECT_EQ(decode(huge), std::nullopt);
}

TEST(SavedLayoutCodec, ValuesJsonCannotHoldFailTheWholeEncoding) {
  SavedLayouts layouts{{"a/1", exampleStrip()}};
  layouts["a/1"].columns[1].proportion = std::nan("");
  EXPECT_EQ(encodeSavedLayouts(layouts), std::nullopt);

  layouts["a/1"] = exampleStrip();
  (*layouts["a/1"].preferredHeights)[4711] = INFINITY;
  EXPECT_EQ(encodeSavedLayouts(layouts), std::nullopt);

  SavedLayouts badKey{{"a\xff/1", SavedStrip{}}};
  EXPECT_EQ(encodeSavedLayouts(badKey), std::nullopt);
}

}  // namespace
}  // namespace vistarail
