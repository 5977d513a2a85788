#include "input/key_combo.h"

namespace vistarail {

uint32_t hotKeyModifiers(uint64_t eventModifierFlags) {
  uint32_t mask = 0;
  if (eventModifierFlags & kEventFlagCommand) mask |= kCommandKeyMask;
  if (eventModifierFlags & kEventFlagOption) mask |= kOptionKeyMask;
  if (eventModifierFlags & kEventFlagControl) mask |= kControlKeyMask;
  if (eventModifierFlags & kEventFlagShift) mask |= kShiftKeyMask;
  return mask;
}

KeyCombo KeyCombo::fromKeyEvent(uint32_t keyCode, uint64_t eventModifierFlags) {
  return {keyCode, hotKeyModifiers(eventModifierFlags)};
}

}  // namespace vistarail
