// Key combos: event flags, their stored form, and which recorded keys make one.

#include <gtest/gtest.h>

#include "input/key_combo.h"
#include "input/key_combo_codec.h"
#include "input/shortcut_recorder.h"

namespace vistarail {
namespace {

constexpr uint32_t kA = 0;
constexpr uint32_t kF5 = 96;
constexpr uint32_t kEscape = 53;
constexpr uint64_t kCapsLock = 0x10000;

TEST(KeyCombo, EventFlagsMapToTheHotKeyMaskAndOtherBitsAreDropped) {
  // The last case: Caps Lock, numeric pad, function and device bits alone.
  const std::pair<uint64_t, uint32_t> cases[] = {
      {0, 0},
      {kEventFlagCommand, 0x100},
      {kEventFlagShift, 0x200},
      {kEventFlagOption, 0x800},
      {kEventFlagControl, 0x1000},
      {kEventFlagControl | kEventFlagOption | kEventFlagShift, 6656},
      {kCapsLock | 0x200000 | 0x800000 | 0x1 | 0x100, 0}};
  for (const auto& [flags, mask] : cases) EXPECT_EQ(hotKeyModifiers(flags), mask) << flags;
  EXPECT_EQ(
      KeyCombo::fromKeyEvent(123, kCapsLock | 0x800000 | kEventFlagControl | kEventFlagOption),
      (KeyCombo{123, 6144}));
}

TEST(KeyCombo, JsonFormHasKeyCodeAndModifiersAndIgnoresExtraMembers) {
  const nlohmann::json json = toJson({4, 6144});
  EXPECT_EQ(json, nlohmann::json::parse(R"({"keyCode":4,"modifiers":6144})"));
  EXPECT_EQ(keyComboFromJson(json), (KeyCombo{4, 6144}));
  EXPECT_EQ(keyComboFromJson(toJson({0xFFFFFFFF, 0})), (KeyCombo{0xFFFFFFFF, 0}));
  EXPECT_EQ(
      keyComboFromJson(nlohmann::json::parse(R"({"keyCode":4,"modifiers":6144,"label":"x"})")),
      (KeyCombo{4, 6144}));
}

TEST(KeyCombo, JsonThatIsNotAComboGivesNothing) {
  for (const char* text :
       {R"({"keyCode":4})", R"({"modifiers":6144})", R"({"keyCode":-1,"modifiers":6144})",
        R"({"keyCode":4294967296,"modifiers":0})", R"({"keyCode":4.5,"modifiers":0})",
        R"({"keyCode":"4","modifiers":0})", R"({"keyCode":true,"modifiers":0})",
        R"({"keyCode":null,"modifiers":0})", R"([4,6144])", R"(4)"}) {
    EXPECT_EQ(keyComboFromJson(nlohmann::json::parse(text)), std::nullopt) << text;
  }
}

RecordedKey accepted(uint32_t keyCode, uint32_t modifiers) {
  return {RecorderVerdict::accept, {keyCode, modifiers}};
}

TEST(ShortcutRecorder, PlainAndShiftedKeysAreRefusedWithABeepAndEscapeStops) {
  EXPECT_EQ(judgeRecordedKey(kA, 0).verdict, RecorderVerdict::refuseWithBeep);
  EXPECT_EQ(judgeRecordedKey(kA, kEventFlagShift).verdict, RecorderVerdict::refuseWithBeep);
  EXPECT_EQ(judgeRecordedKey(kA, kCapsLock).verdict, RecorderVerdict::refuseWithBeep);
  EXPECT_EQ(judgeRecordedKey(49, 0).verdict, RecorderVerdict::refuseWithBeep);  // Space
  EXPECT_EQ(judgeRecordedKey(kEscape, 0).verdict, RecorderVerdict::stopRecording);
  EXPECT_EQ(judgeRecordedKey(kEscape, kEventFlagControl | kEventFlagOption).verdict,
            RecorderVerdict::stopRecording);
}

TEST(ShortcutRecorder, FunctionKeysAloneOrAnyKeyWithControlOptionOrCommandIsAccepted) {
  EXPECT_EQ(judgeRecordedKey(kF5, 0), accepted(kF5, 0));
  EXPECT_EQ(judgeRecordedKey(kF5, kEventFlagShift), accepted(kF5, kShiftKeyMask));
  EXPECT_EQ(judgeRecordedKey(90, 0), accepted(90, 0));  // F20
  EXPECT_EQ(judgeRecordedKey(kA, kEventFlagControl | kEventFlagOption), accepted(kA, 6144));
  EXPECT_EQ(judgeRecordedKey(kA, kEventFlagCommand), accepted(kA, kCommandKeyMask));
  EXPECT_EQ(judgeRecordedKey(kA, kEventFlagOption | kEventFlagShift | kCapsLock),
            accepted(kA, kOptionKeyMask | kShiftKeyMask));
}

}  // namespace
}  // namespace vistarail
