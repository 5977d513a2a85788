// Observers of the X desktop's accessibility: what each registered for, and
// the notifications the desktop's events are turned into.

#include <algorithm>

#include "platform/x11/x_accessibility.h"

namespace vistarail::x11 {

namespace {

class XObserver final : public AXHandleImpl {
 public:
  explicit XObserver(uint64_t id) : id(id) {}
  bool equals(const AXHandleImpl& other) const override {
    const auto* o = dynamic_cast<const XObserver*>(&other);
    return o && o->id == id;
  }
  size_t hash() const override { return std::hash<uint64_t>{}(id); }
  const uint64_t id;
};

uint64_t observerId(const AXObserver& observer) {
  const auto* o = dynamic_cast<const XObserver*>(observer.impl());
  return o ? o->id : 0;
}

}  // namespace

AXResult<AXObserver> XAccessibility::createObserver(Pid pid, AXObserverCallback callback) {
  if (!callback) return AXResult<AXObserver>::fail(AXError::illegalArgument);
  std::lock_guard lock(mutex_);
  const uint64_t id = nextObserver_++;
  // Observers whose handles were all dropped go first.
  std::erase_if(observers_, [](const auto& entry) { return entry.second.handle.expired(); });
  auto handle = std::make_shared<XObserver>(id);
  ObserverState& state = observers_[id];
  state.pid = pid;
  state.callback = std::move(callback);
  state.handle = handle;
  return AXResult<AXObserver>::ok(AXObserver(std::move(handle)));
}

std::optional<XAccessibility::Registration> XAccessibility::registrationOf(const AXElement& element,
                                                                           std::string_view name) {
  const XElement* e = xElement(element);
  if (!e) return std::nullopt;
  return Registration{static_cast<int>(e->kind), e->window == None ? e->pid : 0, e->window,
                      std::string(name)};
}

AXError XAccessibility::addNotification(const AXObserver& observer, const AXElement& element,
                                        std::string_view notification) {
  const auto key = registrationOf(element, notification);
  if (!key) return AXError::illegalArgument;
  std::lock_guard lock(mutex_);
  const auto it = observers_.find(observerId(observer));
  if (it == observers_.end()) return AXError::invalidUIElementObserver;
  if (!it->second.registrations.insert(*key).second) {
    return AXError::notificationAlreadyRegistered;
  }
  return AXError::success;
}

AXError XAccessibility::removeNotification(const AXObserver& observer, const AXElement& element,
                                           std::string_view notification) {
  const auto key = registrationOf(element, notification);
  if (!key) return AXError::illegalArgument;
  std::lock_guard lock(mutex_);
  const auto it = observers_.find(observerId(observer));
  if (it == observers_.end()) return AXError::invalidUIElementObserver;
  if (it->second.registrations.erase(*key) == 0) return AXError::notificationNotRegistered;
  return AXError::success;
}

void XAccessibility::attachToMainRunLoop(const AXObserver& observer) {
  std::lock_guard lock(mutex_);
  if (auto it = observers_.find(observerId(observer)); it != observers_.end()) {
    it->second.attached = true;
  }
}

void XAccessibility::detachFromMainRunLoop(const AXObserver& observer) {
  std::lock_guard lock(mutex_);
  if (auto it = observers_.find(observerId(observer)); it != observers_.end()) {
    it->second.attached = false;
  }
}

void XAccessibility::deliver(const AXElement& registeredOn, const AXElement& about,
                             const std::string& name) {
  const auto key = registrationOf(registeredOn, name);
  const XElement* e = xElement(registeredOn);
  if (!key || !e) return;
  std::vector<std::pair<AXObserver, AXObserverCallback>> calls;
  {
    std::lock_guard lock(mutex_);
    for (auto& [id, state] : observers_) {
      auto handle = state.handle.lock();
      if (handle && state.attached && state.pid == e->pid && state.registrations.count(*key)) {
        calls.emplace_back(AXObserver(std::move(handle)), state.callback);
      }
    }
  }
  for (auto& [observer, callback] : calls) callback(observer, about, name);
}

}  // namespace vistarail::x11
