#pragma once
// X protocol errors as the ports' error codes. An X call fails with an error
// the server sends back; what it means for the program depends on the port.

#include <cstdint>

#include "platform/ax_types.h"
#include "platform/hot_keys.h"

namespace vistarail::x11 {

// The core protocol's error codes the adapters meet.
namespace xerror {
inline constexpr int kSuccess = 0;
inline constexpr int kBadRequest = 1;
inline constexpr int kBadValue = 2;
inline constexpr int kBadWindow = 3;
inline constexpr int kBadAtom = 5;
inline constexpr int kBadMatch = 8;
inline constexpr int kBadDrawable = 9;
inline constexpr int kBadAccess = 10;
inline constexpr int kBadAlloc = 11;
inline constexpr int kBadImplementation = 17;
}  // namespace xerror

// An accessibility call that met the error: a window gone mid-call is an
// invalid element, a refused value an illegal argument, a server out of
// memory or broken a call that cannot complete.
AXError axErrorFor(int xErrorCode);

// A key grab that met the error: another client holding the combo is the
// platform's "hot key exists".
OSStatus hotKeyStatusFor(int xErrorCode);

}  // namespace vistarail::x11
