#include "input/hot_key_manager.h"

namespace vistarail {

HotKeyManager::HotKeyManager(HotKeyService& service, Dispatch& dispatch)
    : service_(service), dispatch_(dispatch) {}

HotKeyManager::~HotKeyManager() {
  unregisterAll();
}

void HotKeyManager::registerBindings(const Bindings& bindings) {
  bindings_ = bindings;
  if (suspended_) return;
  if (!handlerInstalled_) {
    std::weak_ptr<HotKeyManager> weak = weak_from_this();
    handlerInstalled_ = service_.installHandler([weak](const HotKeyEvent& event) {
      auto self = weak.lock();
      return self ? self->handle(event) : kEventNotHandledErr;
    }) == kNoErr;
  }
  unregisterAll();
  uint32_t id = 1;
  for (Action action : allActions()) {
    auto entry = bindings_.find(action);
    if (entry == bindings_.end()) continue;
    for (const KeyCombo& combo : entry->second) {
      HotKeyRef ref = 0;
      if (service_.registerHotKey(combo.keyCode, combo.modifiers, {kSignature, id}, ref) ==
          kNoErr) {
        refs_.push_back(ref);
        actions_[id] = action;
      }
      ++id;
    }
  }
}

void HotKeyManager::unregisterAll() {
  for (HotKeyRef ref : refs_) (void)service_.unregisterHotKey(ref);
  refs_.clear();
  actions_.clear();
}

void HotKeyManager::setSuspended(bool suspended) {
  if (suspended == suspended_) return;
  suspended_ = suspended;
  if (suspended) {
    unregisterAll();
  } else {
    registerBindings(bindings_);
  }
}

OSStatus HotKeyManager::handle(const HotKeyEvent& event) {
  if (!event.directObject) return kEventParameterNotFoundErr;
  if (event.directObject->signature != kSignature) return kEventNotHandledErr;
  auto entry = actions_.find(event.directObject->id);
  if (entry == actions_.end()) return kEventNotHandledErr;
  dispatch_.main()->async([self = shared_from_this(), action = entry->second] {
    if (self->onAction) self->onAction(action);
  });
  return kNoErr;
}

}  // namespace vistarail
