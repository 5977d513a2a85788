#pragma once
// The hot-key port over the Carbon event manager: one handler on the event
// dispatcher target for hot-key presses, called on the main thread.

#include <Carbon/Carbon.h>

#include <memory>

#include "platform/hot_keys.h"
#include "platform/macos/handle_table.h"

namespace vistarail::macos {

class MacHotKeys final : public HotKeyService {
 public:
  MacHotKeys() = default;
  MacHotKeys(const MacHotKeys&) = delete;
  MacHotKeys& operator=(const MacHotKeys&) = delete;
  // The handler stays installed for the process's lifetime (the event
  // manager keeps calling it), so it reaches this object's handler through a
  // box that outlives it.
  ~MacHotKeys() override;

  OSStatus installHandler(Handler handler) override;
  OSStatus registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyID id,
                          HotKeyRef& outRef) override;
  OSStatus unregisterHotKey(HotKeyRef ref) override;

 private:
  struct Box {
    Handler handler;
  };
  Box* box_ = nullptr;  // installed with the event manager; never freed
  EventHandlerRef installed_ = nullptr;
  HandleTable<EventHotKeyRef> registrations_;
};

}  // namespace vistarail::macos
