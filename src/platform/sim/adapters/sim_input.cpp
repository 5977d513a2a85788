#include "platform/sim/adapters/sim_input.h"

#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

namespace {

constexpr uint32_t kMaxVirtualKeyCode = 127;

class SimTap final : public EventTap {
 public:
  explicit SimTap(std::shared_ptr<TapState> state) : state_(std::move(state)) {}
  void setEnabled(bool enabled) override { state_->enabled.store(enabled); }
  bool isEnabled() const override { return state_->enabled.load(); }

 private:
  std::shared_ptr<TapState> state_;
};

}  // namespace

SimHotKeys::SimHotKeys(World& world) : core_(world.core()) {}

OSStatus SimHotKeys::installHandler(Handler handler) {
  if (!handler) return kParamErr;
  std::lock_guard lock(core_->mutex);
  core_->hotKeyHandler = std::move(handler);
  return kNoErr;
}

OSStatus SimHotKeys::registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyID id,
                                    HotKeyRef& outRef) {
  std::lock_guard lock(core_->mutex);
  if (keyCode > kMaxVirtualKeyCode) return kParamErr;
  if (core_->hotKeysHeldElsewhere.contains({keyCode, modifiers})) return kEventHotKeyExistsErr;
  for (const auto& [ref, record] : core_->hotKeys) {
    if (record.keyCode == keyCode && record.modifiers == modifiers) return kEventHotKeyExistsErr;
  }
  outRef = core_->nextHotKeyRef++;
  core_->hotKeys[outRef] = {keyCode, modifiers, id};
  return kNoErr;
}

OSStatus SimHotKeys::unregisterHotKey(HotKeyRef ref) {
  std::lock_guard lock(core_->mutex);
  return core_->hotKeys.erase(ref) ? kNoErr : kEventHotKeyInvalidErr;
}

SimEventTaps::SimEventTaps(World& world) : core_(world.core()) {}

EventTapRef SimEventTaps::createTap(const TapSpec& spec, Callback callback) {
  std::lock_guard lock(core_->mutex);
  int& failures =
      spec.option == TapOption::listenOnly ? core_->listenTapFailures : core_->activeTapFailures;
  if (failures != 0) {
    if (failures > 0) --failures;
    return nullptr;
  }
  auto state = std::make_shared<TapState>();
  state->id = core_->nextTapId++;
  state->spec = spec;
  state->callback = std::move(callback);
  core_->taps.push_back(state);
  return std::make_shared<SimTap>(std::move(state));
}

}  // namespace vistarail::sim
