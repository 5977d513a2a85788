#include "platform/macos/adapters/mac_hot_keys.h"

#include <utility>

namespace vistarail::macos {

namespace {

OSStatus hotKeyHandler(EventHandlerCallRef, EventRef event, void* userData) {
  auto* handler = static_cast<HotKeyService::Handler*>(userData);
  if (!event || !handler || !*handler) return eventNotHandledErr;
  EventHotKeyID id{0, 0};
  HotKeyEvent pressed;
  if (GetEventParameter(event, kEventParamDirectObject, typeEventHotKeyID, nullptr, sizeof(id),
                        nullptr, &id) == kNoErr) {
    pressed.directObject = HotKeyID{id.signature, id.id};
  }
  return (*handler)(pressed);
}

}  // namespace

MacHotKeys::~MacHotKeys() {
  // Registrations made through this object end with it.
  for (EventHotKeyRef hotKey : registrations_.takeAll()) UnregisterEventHotKey(hotKey);
  // The installed handler may still be called: it must find no handler.
  if (box_) box_->handler = nullptr;
}

OSStatus MacHotKeys::installHandler(Handler handler) {
  if (!handler) return kParamErr;
  if (installed_) {
    box_->handler = std::move(handler);
    return kNoErr;
  }
  box_ = new Box{std::move(handler)};
  const EventTypeSpec pressed{kEventClassKeyboard, kEventHotKeyPressed};
  const OSStatus status = InstallEventHandler(GetEventDispatcherTarget(), hotKeyHandler, 1,
                                              &pressed, &box_->handler, &installed_);
  if (status != kNoErr) {
    delete box_;
    box_ = nullptr;
    installed_ = nullptr;
  }
  return status;
}

OSStatus MacHotKeys::registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyID id,
                                    HotKeyRef& outRef) {
  EventHotKeyRef hotKey = nullptr;
  const OSStatus status =
      RegisterEventHotKey(keyCode, modifiers, EventHotKeyID{id.signature, id.id},
                          GetEventDispatcherTarget(), 0, &hotKey);
  if (status != kNoErr) return status;
  if (!hotKey) return kEventHotKeyInvalidErr;
  outRef = registrations_.add(hotKey);
  return kNoErr;
}

OSStatus MacHotKeys::unregisterHotKey(HotKeyRef ref) {
  const auto hotKey = registrations_.take(ref);
  if (!hotKey) return kEventHotKeyInvalidErr;
  return UnregisterEventHotKey(*hotKey);
}

}  // namespace vistarail::macos
