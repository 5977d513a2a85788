#pragma once
// Which key presses the shortcut recorder takes as a new shortcut. A shortcut
// must not swallow ordinary typing, so a key counts only with Control, Option
// or Command held, or when it is a function key (F1-F20), which apps rarely
// use; Shift alone does not make a letter a shortcut. Escape ends recording.

#include <cstdint>

#include "input/key_combo.h"

namespace vistarail {

enum class RecorderVerdict {
  accept,          // record `combo` and stop recording
  refuseWithBeep,  // not a usable shortcut; beep and keep listening
  stopRecording,   // Escape: stop without a change
};

struct RecordedKey {
  RecorderVerdict verdict = RecorderVerdict::refuseWithBeep;
  KeyCombo combo;  // the combo to record, for `accept` only

  bool operator==(const RecordedKey&) const = default;
};

// Judges one key-down while recording: its virtual key code and the event's
// modifier flags.
RecordedKey judgeRecordedKey(uint32_t keyCode, uint64_t eventModifierFlags);

}  // namespace vistarail
