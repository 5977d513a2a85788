#include "platform/x11/x_hot_keys.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <cstdio>

#include "platform/x11/key_grabs.h"
#include "platform/x11/x_errors.h"

namespace vistarail::x11 {

OSStatus XHotKeys::installHandler(Handler handler) {
  if (!handler) return kParamErr;
  handler_ = std::move(handler);
  return kNoErr;
}

unsigned int XHotKeys::numLockMask() {
  Display* d = server_.events();
  const KeyCode numLock = XKeysymToKeycode(d, XK_Num_Lock);
  if (numLock == 0) return 0;
  unsigned int mask = 0;
  if (XModifierKeymap* map = XGetModifierMapping(d)) {
    for (int modifier = 0; modifier < 8; ++modifier) {
      for (int k = 0; k < map->max_keypermod; ++k) {
        if (map->modifiermap[modifier * map->max_keypermod + k] == numLock) {
          mask = 1u << modifier;
        }
      }
    }
    XFreeModifiermap(map);
  }
  return mask;
}

OSStatus XHotKeys::registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyID id,
                                  HotKeyRef& outRef) {
  Display* d = server_.events();
  const auto keysym = keysymForKeyCode(keyCode);
  if (!keysym) return kEventHotKeyInvalidErr;
  const KeyCode code = XKeysymToKeycode(d, *keysym);
  if (code == 0) return kEventHotKeyInvalidErr;  // the keyboard has no such key
  Grab grab{code, xModifiersFor(modifiers), id};
  for (const auto& [ref, existing] : grabs_) {
    if (existing.keyCode == grab.keyCode && existing.modifiers == grab.modifiers) {
      return kEventHotKeyExistsErr;
    }
  }
  ErrorTrap trap(d);
  for (unsigned int state : lockVariants(grab.modifiers, numLockMask())) {
    XGrabKey(d, code, state, server_.root(), False, GrabModeAsync, GrabModeAsync);
  }
  const int error = trap.error();
  if (error != 0) {
    if (tracing()) {
      std::fprintf(stderr, "x11 grab key %u mods 0x%x refused: %d\n", grab.keyCode, grab.modifiers,
                   error);
    }
    ungrab(grab);  // the variants that did succeed
    return hotKeyStatusFor(error);
  }
  outRef = next_++;
  grabs_[outRef] = grab;
  if (tracing()) {
    std::fprintf(stderr, "x11 grab key %u mods 0x%x\n", grab.keyCode, grab.modifiers);
  }
  return kNoErr;
}

void XHotKeys::ungrab(const Grab& grab) {
  Display* d = server_.events();
  ErrorTrap trap(d);
  for (unsigned int state : lockVariants(grab.modifiers, numLockMask())) {
    XUngrabKey(d, grab.keyCode, state, server_.root());
  }
  trap.error();
}

OSStatus XHotKeys::unregisterHotKey(HotKeyRef ref) {
  const auto it = grabs_.find(ref);
  if (it == grabs_.end()) return kEventHotKeyInvalidErr;
  ungrab(it->second);
  grabs_.erase(it);
  return kNoErr;
}

void XHotKeys::keyPressed(const XKeyEvent& event) {
  if (tracing()) {
    std::fprintf(stderr, "x11 key %.6f %llu %u state 0x%x\n", traceClock(),
                 static_cast<unsigned long long>(server_.requestCount()), event.keycode,
                 event.state);
  }
  if (!handler_) return;
  const unsigned int relevant = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;
  for (const auto& [ref, grab] : grabs_) {
    if (grab.keyCode == event.keycode && grab.modifiers == (event.state & relevant)) {
      handler_(HotKeyEvent{grab.id});
      return;
    }
  }
}

}  // namespace vistarail::x11
