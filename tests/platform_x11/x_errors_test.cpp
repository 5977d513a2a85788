#include "platform/x11/x_errors.h"

#include <gtest/gtest.h>

namespace vistarail::x11 {
namespace {

TEST(XErrors, AWindowGoneMidCallIsAnInvalidElement) {
  struct Case {
    int code;
    AXError ax;
    OSStatus hotKey;
  };
  const Case cases[] = {
      {xerror::kSuccess, AXError::success, kNoErr},
      {xerror::kBadWindow, AXError::invalidUIElement, kParamErr},
      {xerror::kBadDrawable, AXError::invalidUIElement, kParamErr},
      {xerror::kBadValue, AXError::illegalArgument, kEventHotKeyInvalidErr},
      {xerror::kBadMatch, AXError::illegalArgument, kParamErr},
      {xerror::kBadAtom, AXError::illegalArgument, kParamErr},
      // Another client holds the grab: the platform's "hot key exists".
      {xerror::kBadAccess, AXError::attributeUnsupported, kEventHotKeyExistsErr},
      {xerror::kBadAlloc, AXError::cannotComplete, kParamErr},
      {xerror::kBadImplementation, AXError::cannotComplete, kParamErr},
      {200, AXError::cannotComplete, kParamErr},  // an extension's error
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(axErrorFor(c.code), c.ax);
    EXPECT_EQ(hotKeyStatusFor(c.code), c.hotKey);
  }
}

}  // namespace
}  // namespace vistarail::x11
