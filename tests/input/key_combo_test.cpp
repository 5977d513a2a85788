#include "input/key_combo.h"

#include <gtest/gtest.h>

namespace vistarail {
namespace {

TEST(KeyCombo, EventFlagsMapToTheHotKeyMask) {
  EXPECT_EQ(hotKeyModifiers(0), 0u);
  EXPECT_EQ(hotKeyModifiers(kEventFlagCommand), 0x100u);
  EXPECT_EQ(hotKeyModifiers(kEventFlagShift), 0x200u);
  EXPECT_EQ(hotKeyModifiers(kEventFlagOption), 0x800u);
  EXPECT_EQ(hotKeyModifiers(kEventFlagControl), 0x1000u);
  EXPECT_EQ(hotKeyModifiers(kEventFlagControl | kEventFlagOption), 6144u);
  EXPECT_EQ(hotKeyModifiers(kEventFlagControl | kEventFlagOption | kEventFlagShift), 6656u);
}

TEST(KeyCombo, CapsLockFunctionNumericPadAndDeviceBitsAreDropped) {
  constexpr uint64_t capsLock = 0x10000;
  constexpr uint64_t numericPad = 0x200000;
  constexpr uint64_t function = 0x800000;
  constexpr uint64_t deviceLeftControl = 0x1;
  const uint64_t noise = capsLock | numericPad | function | deviceLeftControl | 0x100;
  EXPECT_EQ(hotKeyModifiers(noise), 0u);
  EXPECT_EQ(KeyCombo::fromKeyEvent(123, noise | kEventFlagControl | kEventFlagOption),
            (KeyCombo{123, 6144}));
}

TEST(KeyCombo, JsonFormHasExactlyKeyCodeAndModifiers) {
  const PropertyList json = toJson({4, 6144});
  EXPECT_EQ(json, PropertyList::parse(R"({"keyCode":4,"modifiers":6144})"));
  EXPECT_EQ(keyComboFromJson(json), (KeyCombo{4, 6144}));
  EXPECT_EQ(keyComboFromJson(toJson({0xFFFFFFFF, 0})), (KeyCombo{0xFFFFFFFF, 0}));
}

TEST(KeyCombo, JsonThatIsNotAComboGivesNothing) {
  for (const char* text : {
           R"({"keyCode":4})",
           R"({"modifiers":6144})",
           R"({"keyCode":-1,"modifiers":6144})",
           R"({"keyCode":4294967296,"modifiers":0})",
           R"({"keyCode":4.5,"modifiers":0})",
           R"({"keyCode":"4","modifiers":0})",
           R"({"keyCode":true,"modifiers":0})",
           R"({"keyCode":null,"modifiers":0})",
           R"([4,6144])",
           R"(4)",
       }) {
    EXPECT_EQ(keyComboFromJson(PropertyList::parse(text)), std::nullopt) << text;
  }
}

TEST(KeyCombo, ExtraMembersFromANewerVersionAreIgnored) {
  const auto json = PropertyList::parse(R"({"keyCode":4,"modifiers":6144,"label":"x"})");
  EXPECT_EQ(keyComboFromJson(json), (KeyCombo{4, 6144}));
}

}  // namespace
}  // namespace vistarail
