// The typed getters of the defaults port, exercised through the in-memory
// domain: the coercions every settings reader relies on.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "platform/sim/memory_defaults.h"

namespace vistarail {
namespace {

using sim::MemoryDefaults;

struct Coercion {
  PropertyList stored;
  bool boolean;
  long long integer;
  double number;
};

TEST(Defaults, BooleanIntegerAndNumberCoercions) {
  const std::vector<Coercion> cases = {
      {"YES", true, 0, 0},
      {"yes", true, 0, 0},
      {"no", false, 0, 0},
      {"NO", false, 0, 0},
      {"true", true, 0, 0},
      {"false", false, 0, 0},
      {"  +0001", true, 1, 1},
      {"0", false, 0, 0},
      {"", false, 0, 0},
      {"42abc", true, 42, 42},
      {"3.9", true, 3, 3.9},
      {"-7", true, -7, -7},
      {" 1e2", true, 100, 100},
      {"nan", false, 0, 0},
      {"inf", false, 0, 0},
      {true, true, 1, 1},
      {false, false, 0, 0},
      {0, false, 0, 0},
      {2, true, 2, 2},
      {0.5, true, 0, 0.5},
      {-2.7, true, -2, -2.7},
      {1e300, true, std::numeric_limits<long long>::max(), 1e300},
      {-1e300, true, std::numeric_limits<long long>::min(), -1e300},
      {PropertyList::array({1, 2}), false, 0, 0},
      {PropertyList::object({{"a", 1}}), false, 0, 0},
      {PropertyList::binary({1, 2, 3}), false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored.dump());
    MemoryDefaults defaults;
    defaults.set("key", c.stored);
    EXPECT_EQ(defaults.boolean("key"), c.boolean);
    EXPECT_EQ(defaults.integer("key"), c.integer);
    EXPECT_DOUBLE_EQ(defaults.number("key"), c.number);
  }
}

TEST(Defaults, AbsentKeysReadAsFalseZeroAndNothing) {
  MemoryDefaults defaults;
  EXPECT_FALSE(defaults.boolean("missing"));
  EXPECT_EQ(defaults.integer("missing"), 0);
  EXPECT_EQ(defaults.number("missing"), 0);
  EXPECT_FALSE(defaults.string("missing"));
  EXPECT_FALSE(defaults.stringArray("missing"));
  EXPECT_FALSE(defaults.data("missing"));
  EXPECT_FALSE(defaults.object("missing"));
}

TEST(Defaults, StringGetterTurnsScalarsIntoTextButNotContainers) {
  MemoryDefaults defaults(PropertyList{{"s", "never"},
                                       {"i", 8},
                                       {"d", 8.5},
                                       {"b", true},
                                       {"a", PropertyList::array({"x"})},
                                       {"data", PropertyList::binary({1})}});
  EXPECT_EQ(defaults.string("s"), "never");
  EXPECT_EQ(defaults.string("i"), "8");
  EXPECT_EQ(defaults.string("d"), "8.5");
  EXPECT_EQ(defaults.string("b"), "1");
  EXPECT_FALSE(defaults.string("a"));
  EXPECT_FALSE(defaults.string("data"));
}

TEST(Defaults, StringArrayGivesNothingUnlessEveryElementIsAString) {
  MemoryDefaults defaults(PropertyList{{"good", {"com.apple.calculator", "com.apple.Passwords"}},
                                       {"empty", PropertyList::array()},
                                       {"mixed", {"com.apple.calculator", 1}},
                                       {"nested", {PropertyList::array({"a"})}},
                                       {"scalar", "com.apple.calculator"}});
  EXPECT_EQ(defaults.stringArray("good"),
            (std::vector<std::string>{"com.apple.calculator", "com.apple.Passwords"}));
  EXPECT_EQ(defaults.stringArray("empty"), std::vector<std::string>{});
  EXPECT_FALSE(defaults.stringArray("mixed"));
  EXPECT_FALSE(defaults.stringArray("nested"));
  EXPECT_FALSE(defaults.stringArray("scalar"));
}

TEST(Defaults, StoredValuesWinOverRegisteredOnesAndRemovingRevealsThemAgain) {
  MemoryDefaults defaults;
  defaults.registerDefaults({{"innerGap", 8.0}, {"centerMode", "never"}});
  EXPECT_EQ(defaults.writeCount(), 0u) << "registering is not storing";
  EXPECT_DOUBLE_EQ(defaults.number("innerGap"), 8.0);
  EXPECT_FALSE(defaults.storedObject("innerGap"));

  defaults.set("innerGap", 12.0);
  EXPECT_DOUBLE_EQ(defaults.number("innerGap"), 12.0);
  defaults.registerDefaults(
      {{"innerGap", 20.0}});  // a later registration replaces the registered value only
  EXPECT_DOUBLE_EQ(defaults.number("innerGap"), 12.0);

  defaults.remove("innerGap");
  EXPECT_DOUBLE_EQ(defaults.number("innerGap"), 20.0);
  EXPECT_FALSE(defaults.storedObject("innerGap"));
  EXPECT_EQ(defaults.string("centerMode"), "never") << "earlier registrations of other keys stay";
  EXPECT_EQ(defaults.writeCount(), 2u);
}

TEST(Defaults, StoringNullRemovesAndNonDictionaryRegistrationsAreIgnored) {
  MemoryDefaults defaults;
  defaults.set("enabled", false);
  defaults.set("enabled", nullptr);
  EXPECT_FALSE(defaults.storedObject("enabled"));
  defaults.registerDefaults(PropertyList::array({1, 2}));
  defaults.registerDefaults({{"enabled", nullptr}});
  EXPECT_FALSE(defaults.object("enabled"));
  EXPECT_EQ(defaults.storedValues(), PropertyList::object());
}

TEST(Defaults, DataRoundTripsAndOtherKindsAreNotData) {
  MemoryDefaults defaults;
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<uint8_t>(i));
  defaults.setData("bindings.v1", bytes);
  EXPECT_EQ(defaults.data("bindings.v1"), bytes);
  EXPECT_TRUE(defaults.object("bindings.v1")->is_binary());

  defaults.set("text", "eyJ9");
  defaults.set("list", PropertyList::array({1, 2}));
  EXPECT_FALSE(defaults.data("text")) << "a string is not data, even if it looks encoded";
  EXPECT_FALSE(defaults.data("list"));
  defaults.setData("empty", {});
  EXPECT_EQ(defaults.data("empty"), std::vector<uint8_t>{});
}

}  // namespace
}  // namespace vistarail
