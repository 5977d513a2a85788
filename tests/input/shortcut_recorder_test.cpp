#include "input/shortcut_recorder.h"

#include <gtest/gtest.h>

namespace vistarail {
namespace {

constexpr uint32_t kA = 0;
constexpr uint32_t kF5 = 96;
constexpr uint32_t kEscape = 53;
constexpr uint64_t kCapsLock = 0x10000;

RecordedKey accepted(uint32_t keyCode, uint32_t modifiers) {
  return {RecorderVerdict::accept, {keyCode, modifiers}};
}

TEST(ShortcutRecorder, PlainAndShiftedLettersAreRefusedWithABeep) {
  EXPECT_EQ(judgeRecordedKey(kA, 0).verdict, RecorderVerdict::refuseWithBeep);
  EXPECT_EQ(judgeRecordedKey(kA, kEventFlagShift).verdict, RecorderVerdict::refuseWithBeep);
  EXPECT_EQ(judgeRecordedKey(kA, kCapsLock).verdict, RecorderVerdict::refuseWithBeep);
  EXPECT_EQ(judgeRecordedKey(49, 0).verdict, RecorderVerdict::refuseWithBeep);  // Space
}

TEST(ShortcutRecorder, FunctionKeysNeedNoModifier) {
  EXPECT_EQ(judgeRecordedKey(kF5, 0), accepted(kF5, 0));
  EXPECT_EQ(judgeRecordedKey(kF5, kEventFlagShift), accepted(kF5, kShiftKeyMask));
  EXPECT_EQ(judgeRecordedKey(90, 0), accepted(90, 0));  // F20
}

TEST(ShortcutRecorder, ControlOptionOrCommandMakeAnyKeyAShortcut) {
  EXPECT_EQ(judgeRecordedKey(kA, kEventFlagControl | kEventFlagOption), accepted(kA, 6144));
  EXPECT_EQ(judgeRecordedKey(kA, kEventFlagCommand), accepted(kA, kCommandKeyMask));
  EXPECT_EQ(judgeRecordedKey(kA, kEventFlagOption | kEventFlagShift | kCapsLock),
            accepted(kA, kOptionKeyMask | kShiftKeyMask));
}

TEST(ShortcutRecorder, EscapeStopsRecordingEvenWithModifiers) {
  EXPECT_EQ(judgeRecordedKey(kEscape, 0).verdict, RecorderVerdict::stopRecording);
  EXPECT_EQ(judgeRecordedKey(kEscape, kEventFlagControl | kEventFlagOption).verdict,
            RecorderVerdict::stopRecording);
}

}  // namespace
}  // namespace vistarail
