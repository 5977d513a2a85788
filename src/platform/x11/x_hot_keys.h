#pragma once
// Hot keys as passive key grabs on the root window, one per lock-key state
// (key_grabs.h). A combo another client grabbed already is refused with the
// platform's "hot key exists". Presses arrive through the event pump.

#include <X11/Xlib.h>

#include <map>
#include <vector>

#include "platform/hot_keys.h"
#include "platform/x11/x_connection.h"

namespace vistarail::x11 {

class XHotKeys final : public HotKeyService {
 public:
  explicit XHotKeys(XServer& server) : server_(server) {}
  OSStatus installHandler(Handler handler) override;
  OSStatus registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyID id,
                          HotKeyRef& outRef) override;
  OSStatus unregisterHotKey(HotKeyRef ref) override;

  // A key press from the event pump (main queue).
  void keyPressed(const XKeyEvent& event);

 private:
  struct Grab {
    KeyCode keyCode = 0;
    unsigned int modifiers = 0;
    HotKeyID id;
  };
  unsigned int numLockMask();
  void ungrab(const Grab& grab);

  XServer& server_;
  Handler handler_;
  HotKeyRef next_ = 1;
  std::map<HotKeyRef, Grab> grabs_;
};

}  // namespace vistarail::x11
