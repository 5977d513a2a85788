#include "platform/macos/adapters/mac_keyboard_layout.h"

#include <Carbon/Carbon.h>

#include "platform/macos/adapters/cf_ref.h"
#include "platform/macos/key_translation.h"

namespace vistarail::macos {

std::optional<std::u16string> MacKeyboardLayout::displayCharacters(uint16_t keyCode) const {
  // Copy: ours to release. The layout data is a Get from it: not ours, and
  // valid only while the source is held, which it is until we return.
  const auto source = CFRef<TISInputSourceRef>::adopt(TISCopyCurrentKeyboardLayoutInputSource());
  if (!source) return std::nullopt;
  const auto data = static_cast<CFDataRef>(
      TISGetInputSourceProperty(source.get(), kTISPropertyUnicodeKeyLayoutData));
  if (!data) return std::nullopt;
  const auto* layout = reinterpret_cast<const UCKeyboardLayout*>(CFDataGetBytePtr(data));

  UInt32 deadKeyState = 0;
  UniChar units[kMaxUnits] = {};
  UniCharCount length = 0;
  // Dead keys are not composed: a key that only starts a composition shows
  // its own mark, as the shortcut display wants.
  const OSStatus status =
      UCKeyTranslate(layout, keyCode, kUCKeyActionDisplay, 0, LMGetKbdType(),
                     kUCKeyTranslateNoDeadKeysMask, &deadKeyState, kMaxUnits, &length, units);
  static_assert(sizeof(UniChar) == sizeof(char16_t));
  return translatedUnits(status, reinterpret_cast<const char16_t*>(units), kMaxUnits, length);
}

}  // namespace vistarail::macos
