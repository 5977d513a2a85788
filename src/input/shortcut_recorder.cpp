#include "input/shortcut_recorder.h"

#include "input/key_display.h"

namespace vistarail {

RecordedKey judgeRecordedKey(uint32_t keyCode, uint64_t eventModifierFlags) {
  if (keyCode == kEscapeKeyCode) return {RecorderVerdict::stopRecording, {}};
  const KeyCombo combo = KeyCombo::fromKeyEvent(keyCode, eventModifierFlags);
  const bool hasCommandModifier =
      (combo.modifiers & (kControlKeyMask | kOptionKeyMask | kCommandKeyMask)) != 0;
  if (!hasCommandModifier && !isFunctionKey(keyCode)) return {RecorderVerdict::refuseWithBeep, {}};
  return {RecorderVerdict::accept, combo};
}

}  // namespace vistarail
