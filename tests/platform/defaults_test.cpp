// The typed getters of the defaults port, exercised through the in-memory
// domain: the coercions every settings reader relies on.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "platform/sim/defaults/memory_defaults.h"

namespace vistarail {
namespace {

using sim::MemoryDefaults;

TEST(Defaults, BooleanIntegerAndNumberCoercions) {
  const auto expect = [](const PropertyList& stored, bool boolean, long long integer,
                         double number) {
    SCOPED_TRACE(stored.dump());
    MemoryDefaults defaults;
    defaults.set("key", stored);
    EXPECT_EQ(defaults.boolean("key"), boolean);
    EXPECT_EQ(defaults.integer("key"), integer);
    EXPECT_DOUBLE_EQ(defaults.number("key"), number);
  };
  for (const PropertyList& unreadable :
       {PropertyList("no"), PropertyList("NO"), PropertyList("false"), PropertyList("0"),
        PropertyList(""), PropertyList("nan"), PropertyList("inf"), PropertyList(false),
        PropertyList(0), PropertyList::array({1, 2}), PropertyList::object({{"a", 1}}),
        PropertyList::binary({1, 2, 3})}) {
    expect(unreadable, false, 0, 0);
  }
  for (const char* yes : {"YES", "yes", "true"}) expect(yes, true, 0, 0);
  expect("  +0001", true, 1, 1);
  expect("42abc", true, 42, 42);
  expect("3.9", true, 3, 3.9);
  expect("-7", true, -7, -7);
  expect(" 1e2", true, 100, 100);
  expect(true, true, 1, 1);
  expect(2, true, 2, 2);
  expect(0.5, true, 0, 0.5);
  expect(-2.7, true, -2, -2.7);
  expect(1e300, true, std::numeric_limits<long long>::max(), 1e300);
  expect(-1e300, true, std::numeric_limits<long long>::min(), -1e300);
}

TEST(Defaults, TextListAndDataGettersGiveNothingForOtherKindsOrAbsentKeys) {
  MemoryDefaults defaults(PropertyList{{"s", "never"},
                                       {"i", 8},
                                       {"d", 8.5},
                                       {"b", true},
                                       {"strings", {"com.apple.calculator", "com.apple.Passwords"}},
                                       {"empty", PropertyList::array()},
                                       {"mixed", {"com.apple.calculator", 1}},
                                       {"nested", {PropertyList::array({"a"})}},
                                       {"data", PropertyList::binary({1})}});
  // Scalars turn into text, containers do not.
  EXPECT_EQ(defaults.string("s"), "never");
  EXPECT_EQ(defaults.string("i"), "8");
  EXPECT_EQ(defaults.string("d"), "8.5");
  EXPECT_EQ(defaults.string("b"), "1");
  for (const char* key : {"strings", "data", "missing"}) EXPECT_FALSE(defaults.string(key)) << key;
  // A list only when every element is a string.
  EXPECT_EQ(defaults.stringArray("strings"),
            (std::vector<std::string>{"com.apple.calculator", "com.apple.Passwords"}));
  EXPECT_EQ(defaults.stringArray("empty"), std::vector<std::string>{});
  for (const char* key : {"mixed", "nested", "s", "missing"}) {
    EXPECT_FALSE(defaults.stringArray(key)) << key;
  }
  EXPECT_FALSE(defaults.data("missing"));
  EXPECT_FALSE(defaults.object("missing"));
  EXPECT_FALSE(defaults.boolean("missing"));
  EXPECT_EQ(defaults.integer("missing"), 0);
  EXPECT_EQ(defaults.number("missing"), 0);
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
