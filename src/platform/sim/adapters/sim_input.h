#pragma once
// Hot keys and event taps over the simulated world. The world routes the
// user's keys, pointer, scrolls and touches through what is registered here.

#include <memory>

#include "platform/event_taps.h"
#include "platform/hot_keys.h"
#include "platform/sim/world/world.h"

namespace vistarail::sim {

class SimHotKeys final : public HotKeyService {
 public:
  explicit SimHotKeys(World& world);
  OSStatus installHandler(Handler handler) override;
  // Refuses key codes outside the virtual key range (0...127), combos held
  // by another application, and combos this process registered already.
  OSStatus registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyID id,
                          HotKeyRef& outRef) override;
  OSStatus unregisterHotKey(HotKeyRef ref) override;

 private:
  std::shared_ptr<WorldCore> core_;
};

class SimEventTaps final : public EventTaps {
 public:
  explicit SimEventTaps(World& world);
  EventTapRef createTap(const TapSpec& spec, Callback callback) override;

 private:
  std::shared_ptr<WorldCore> core_;
};

}  // namespace vistarail::sim
