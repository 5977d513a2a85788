#pragma once
// System-wide hot keys, shaped after the event manager's hot-key calls: one
// handler installed on the application's event target receives every press
// of a hot key this process registered, identified by the signature and id
// given at registration. Status codes are the platform's numeric ones.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace vistarail {

using OSStatus = int32_t;
inline constexpr OSStatus kNoErr = 0;
inline constexpr OSStatus kParamErr = -50;
inline constexpr OSStatus kEventNotHandledErr = -9874;
inline constexpr OSStatus kEventParameterNotFoundErr = -9870;
// Another application (or this one) already holds the combo.
inline constexpr OSStatus kEventHotKeyExistsErr = -9878;
inline constexpr OSStatus kEventHotKeyInvalidErr = -9879;

// A four-character code, as the platform packs it: 'VSRL' = 0x5653524C.
constexpr uint32_t fourCharCode(const char (&code)[5]) {
  return (static_cast<uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
         (static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
         static_cast<uint32_t>(static_cast<unsigned char>(code[3]));
}

struct HotKeyID {
  uint32_t signature = 0;
  uint32_t id = 0;
  friend bool operator==(const HotKeyID&, const HotKeyID&) = default;
};

// One hot-key-pressed event. The direct-object parameter may be missing (the
// handler must then decline with the read's error).
struct HotKeyEvent {
  std::optional<HotKeyID> directObject;
};

// A registration; dropping the last handle does not unregister it.
using HotKeyRef = uint64_t;

class HotKeyService {
 public:
  virtual ~HotKeyService() = default;
  using Handler = std::function<OSStatus(const HotKeyEvent&)>;
  // Installs the one handler for hot-key-pressed events, called on the main
  // queue. Returns the status; on success the handler stays installed.
  virtual OSStatus installHandler(Handler handler) = 0;
  // Registers keyCode with the hot-key modifier mask (KeyCombo's convention).
  virtual OSStatus registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyID id,
                                  HotKeyRef& outRef) = 0;
  virtual OSStatus unregisterHotKey(HotKeyRef ref) = 0;
};

}  // namespace vistarail
