#include "platform/sim/file_defaults_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace vistarail::sim {
namespace {

std::vector<uint8_t> bytesOf(const std::string& s) {
  return {s.begin(), s.end()};
}

TEST(FileDefaultsCodec, Base64MatchesTheStandardVectorsBothWays) {
  const std::vector<std::pair<std::string, std::string>> vectors = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string("\xff\xfe\x00", 3), "//4A"},
  };
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(base64Encode(bytesOf(plain)), encoded);
    EXPECT_EQ(base64Decode(encoded), bytesOf(plain)) << encoded;
  }
}

TEST(FileDefaultsCodec, Base64RejectsAnythingNotStrictlyCanonical) {
  const std::vector<std::string> bad = {
      "Zg=",       // not a multiple of four
      "Zg",        // padding missing
      "Z===",      // too much padding
      "====",      // padding only
      "Zg==Zm8=",  // padding in the middle
      "Zh==",      // leftover bits not zero
      "Zm9=",      // leftover bits not zero
      "Zm9v\n",    // whitespace
      "Zm-v",      // URL-safe alphabet
      "Zm\x80v",   // not ASCII
  };
  for (const auto& text : bad) EXPECT_FALSE(base64Decode(text)) << text;
}

TEST(FileDefaultsCodec, ValuesJsonCannotHoldAreTaggedAndComeBack) {
  const PropertyList value = {
      {"data", PropertyList::binary({0, 1, 2})},
      {"list", {PropertyList::binary({255}), 1.5, "x", true, nullptr}},
      {"inf", std::numeric_limits<double>::infinity()},
      {"-inf", -std::numeric_limits<double>::infinity()},
      {"escaped", {{"$data", "AAEC"}}},
      {"escapedTwice", {{"$dict", {{"$real", "nan"}}}}},
      {"plain", {{"a", 1}, {"$data", "two keys need no escape"}}},
  };
  const PropertyList encoded = encodeForFile(value);
  EXPECT_EQ(encoded["data"], (PropertyList{{"$data", "AAEC"}}));
  EXPECT_EQ(encoded["inf"], (PropertyList{{"$real", "inf"}}));
  EXPECT_EQ(encoded["escaped"], (PropertyList{{"$dict", {{"$data", "AAEC"}}}}));
  EXPECT_EQ(encoded["plain"], value["plain"]);
  // Whatever the encoder makes must be plain JSON text and read back equal.
  const PropertyList reread = decodeFromFile(PropertyList::parse(encoded.dump()));
  EXPECT_EQ(reread, value);

  const PropertyList nan = decodeFromFile(encodeForFile(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_TRUE(nan.is_number_float() && std::isnan(nan.get<double>()));
}

TEST(FileDefaultsCodec, MalformedTagsStayTheDictionariesTheyAre) {
  const std::vector<PropertyList> kept = {
      {{"$data", 5}}, {{"$data", "not base64!"}}, {{"$real", "large"}}, {{"$real", 1}},
      {{"$dict", 5}}, {{"$unknown", "x"}},
  };
  for (const auto& value : kept) {
    EXPECT_EQ(decodeFromFile(value), value) << value.dump();
    EXPECT_EQ(encodeForFile(value), value) << "written back exactly as found: " << value.dump();
  }
}

}  // namespace
}  // namespace vistarail::sim
