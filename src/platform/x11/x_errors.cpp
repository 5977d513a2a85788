#include "platform/x11/x_errors.h"

namespace vistarail::x11 {

AXError axErrorFor(int code) {
  switch (code) {
    case xerror::kSuccess:
      return AXError::success;
    case xerror::kBadWindow:
    case xerror::kBadDrawable:
      return AXError::invalidUIElement;
    case xerror::kBadValue:
    case xerror::kBadMatch:
    case xerror::kBadAtom:
      return AXError::illegalArgument;
    case xerror::kBadAccess:
      return AXError::attributeUnsupported;
    default:
      return AXError::cannotComplete;
  }
}

OSStatus hotKeyStatusFor(int code) {
  switch (code) {
    case xerror::kSuccess:
      return kNoErr;
    case xerror::kBadAccess:
      return kEventHotKeyExistsErr;
    case xerror::kBadValue:
      return kEventHotKeyInvalidErr;
    default:
      return kParamErr;
  }
}

}  // namespace vistarail::x11
