#include "platform/sim/adapters/sim_accessibility.h"

#include <algorithm>

#include "platform/ax_names.h"
#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

namespace {

bool isKnownNotification(std::string_view name) {
  static constexpr const char* kKnown[] = {
      ax::kWindowCreated,      ax::kSheetCreated,       ax::kFocusedWindowChanged,
      ax::kMainWindowChanged,  ax::kApplicationHidden,  ax::kApplicationShown,
      ax::kUIElementDestroyed, ax::kWindowMiniaturized, ax::kWindowDeminiaturized,
      ax::kWindowMoved,        ax::kWindowResized,      ax::kTitleChanged,
  };
  return std::any_of(std::begin(kKnown), std::end(kKnown),
                     [&](const char* known) { return name == known; });
}

template <class T>
AXResult<T> result(const CallOutcome& outcome) {
  if (outcome.error != AXError::success) return AXResult<T>::fail(outcome.error);
  return AXResult<T>::ok(std::get<T>(*outcome.value));
}

}  // namespace

SimAccessibility::SimAccessibility(World& world) : core_(world.core()) {}

bool SimAccessibility::isProcessTrusted(TrustPrompt prompt) {
  std::lock_guard lock(core_->mutex);
  if (!core_->trusted && prompt == TrustPrompt::promptIfNeeded) {
    ++core_->trustPrompts;
    core_->traceLine("trust prompt shown");
  }
  return core_->trusted;
}

AXElement SimAccessibility::applicationElement(Pid pid) {
  return makeElement(applicationRef(pid));
}

AXElement SimAccessibility::systemWideElement() {
  return makeElement({});
}

AXElement SimAccessibility::windowElement(WindowKey window) const {
  std::lock_guard lock(core_->mutex);
  const SimWindow* w = core_->findWindow(window);
  return w ? makeElement(windowRef(w->pid, window)) : AXElement();
}

std::optional<WindowKey> SimAccessibility::windowKey(const AXElement& element) {
  auto ref = elementRef(element);
  if (!ref || ref->kind != ElementKind::window) return std::nullopt;
  return ref->window;
}

AXError SimAccessibility::setMessagingTimeout(const AXElement& element, double seconds) {
  auto ref = elementRef(element);
  if (!ref || !(seconds >= 0)) return AXError::illegalArgument;
  std::lock_guard lock(core_->mutex);
  if (ref->kind == ElementKind::systemWide) {
    core_->systemTimeoutSeconds = seconds;
    return AXError::success;
  }
  // Every element of a simulated application shares its application's
  // time-out.
  auto it = core_->apps.find(ref->pid);
  if (it == core_->apps.end()) return AXError::invalidUIElement;
  it->second.messagingTimeoutSeconds = seconds;
  return AXError::success;
}

AXResult<AXValue> SimAccessibility::copyAttributeValue(const AXElement& element,
                                                       std::string_view attribute) {
  auto ref = elementRef(element);
  if (!ref) return AXResult<AXValue>::fail(AXError::illegalArgument);
  if (ref->kind == ElementKind::systemWide) {
    std::lock_guard lock(core_->mutex);
    const CallOutcome o = readAttribute(*core_, *ref, attribute);
    return o.error == AXError::success ? AXResult<AXValue>::ok(*o.value)
                                       : AXResult<AXValue>::fail(o.error);
  }
  const CallOutcome o =
      core_->message(*ref, AXCallKind::copyAttribute, attribute, nullptr,
                     [&](Outbox&) { return readAttribute(*core_, *ref, attribute); });
  return o.error == AXError::success ? AXResult<AXValue>::ok(*o.value)
                                     : AXResult<AXValue>::fail(o.error);
}

std::vector<AXResult<AXValue>> SimAccessibility::copyMultipleAttributeValues(
    const AXElement& element, const std::vector<std::string_view>& attributes) {
  std::vector<AXResult<AXValue>> results(attributes.size(),
                                         AXResult<AXValue>::fail(AXError::illegalArgument));
  auto ref = elementRef(element);
  if (!ref) return results;
  auto readOne = [&](std::string_view attribute, Behaviour* behaviour) {
    if (behaviour) {
      if (auto fault = takeFault(*behaviour, FaultOn::read, attribute)) {
        return AXResult<AXValue>::fail(*fault);
      }
    }
    const CallOutcome o = readAttribute(*core_, *ref, attribute);
    return o.error == AXError::success ? AXResult<AXValue>::ok(*o.value)
                                       : AXResult<AXValue>::fail(o.error);
  };
  if (ref->kind == ElementKind::systemWide) {
    std::lock_guard lock(core_->mutex);
    for (size_t i = 0; i < attributes.size(); ++i) results[i] = readOne(attributes[i], nullptr);
    return results;
  }
  // One message, so one latency; a fault aimed at one attribute still fails
  // that attribute alone, as the real call reports errors per attribute.
  const CallOutcome o = core_->message(
      *ref, AXCallKind::copyAttribute, kMultipleAttributesCall, nullptr, [&](Outbox&) {
        Behaviour* behaviour = core_->behaviourFor(*ref);
        for (size_t i = 0; i < attributes.size(); ++i) {
          results[i] = readOne(attributes[i], behaviour);
        }
        return CallOutcome{AXError::success, AXValue(true)};
      });
  if (o.error != AXError::success) {
    for (auto& entry : results) entry = AXResult<AXValue>::fail(o.error);
  }
  return results;
}

AXError SimAccessibility::setAttributeValue(const AXElement& element, std::string_view attribute,
                                            const AXValue& value) {
  auto ref = elementRef(element);
  if (!ref) return AXError::illegalArgument;
  if (ref->kind == ElementKind::systemWide) return AXError::attributeUnsupported;
  return core_
      ->message(*ref, AXCallKind::setAttribute, attribute, &value,
                [&](Outbox& out) { return writeAttribute(*core_, *ref, attribute, value, out); })
      .error;
}

AXResult<bool> SimAccessibility::isAttributeSettable(const AXElement& element,
                                                     std::string_view attribute) {
  auto ref = elementRef(element);
  if (!ref) return AXResult<bool>::fail(AXError::illegalArgument);
  if (ref->kind == ElementKind::systemWide) return AXResult<bool>::ok(false);
  return result<bool>(
      core_->message(*ref, AXCallKind::isSettable, attribute, nullptr,
                     [&](Outbox&) { return attributeSettable(*core_, *ref, attribute); }));
}

AXError SimAccessibility::performAction(const AXElement& element, std::string_view action) {
  auto ref = elementRef(element);
  if (!ref) return AXError::illegalArgument;
  if (ref->kind == ElementKind::systemWide) return AXError::actionUnsupported;
  return core_
      ->message(*ref, AXCallKind::performAction, action, nullptr,
                [&](Outbox& out) { return performElementAction(*core_, *ref, action, out); })
      .error;
}

AXResult<Pid> SimAccessibility::pid(const AXElement& element) {
  auto ref = elementRef(element);
  if (!ref || ref->kind == ElementKind::systemWide) {
    return AXResult<Pid>::fail(AXError::illegalArgument);
  }
  return AXResult<Pid>::ok(ref->pid);
}

bool SimAccessibility::hasWindowNumberLookup() const {
  std::lock_guard lock(core_->mutex);
  return core_->windowNumberLookup;
}

AXResult<WindowId> SimAccessibility::windowNumber(const AXElement& window) {
  auto ref = elementRef(window);
  std::lock_guard lock(core_->mutex);
  if (!core_->windowNumberLookup) return AXResult<WindowId>::fail(AXError::notImplemented);
  if (!ref || ref->kind != ElementKind::window) {
    return AXResult<WindowId>::fail(AXError::illegalArgument);
  }
  const SimWindow* w = core_->findWindow(ref->window);
  if (!w || w->pid != ref->pid) return AXResult<WindowId>::fail(AXError::invalidUIElement);
  return AXResult<WindowId>::ok(w->number.value_or(0));
}

AXResult<AXObserver> SimAccessibility::createObserver(Pid pid, AXObserverCallback callback) {
  if (pid <= 0 || !callback) return AXResult<AXObserver>::fail(AXError::illegalArgument);
  std::lock_guard lock(core_->mutex);
  WorldCore& c = *core_;
  // Observers whose last handle is gone can never be used again.
  std::erase_if(c.observers, [](const auto& entry) { return entry.second.handle.expired(); });
  auto app = c.apps.find(pid);
  if (app != c.apps.end()) {
    if (auto fault = takeFault(app->second.behaviour, FaultOn::observer, {})) {
      return AXResult<AXObserver>::fail(*fault);
    }
  }
  const uint64_t id = c.nextObserverId++;
  auto handle = std::make_shared<const SimObserverHandle>(id, pid);
  ObserverRecord record;
  record.handle = handle;
  record.pid = pid;
  record.callback = std::move(callback);
  c.observers.emplace(id, std::move(record));
  c.traceLine("observer " + std::to_string(id) + " created for " + std::to_string(pid));
  return AXResult<AXObserver>::ok(AXObserver(std::move(handle)));
}

AXError SimAccessibility::changeRegistration(const AXObserver& observer, const AXElement& element,
                                             std::string_view notification, AXCallKind kind) {
  const SimObserverHandle* handle = observerHandle(observer);
  auto ref = elementRef(element);
  if (!handle) return AXError::invalidUIElementObserver;
  // An observer hears one process only, and the system-wide element has none.
  if (!ref || ref->kind == ElementKind::systemWide || ref->pid != handle->pid()) {
    return AXError::illegalArgument;
  }
  const uint64_t id = handle->id();
  return core_
      ->message(*ref, kind, notification, nullptr,
                [&](Outbox&) -> CallOutcome {
                  auto it = core_->observers.find(id);
                  if (it == core_->observers.end()) return {AXError::invalidUIElementObserver, {}};
                  auto& registrations = it->second.registrations;
                  const std::pair<ElementRef, std::string> key{*ref, std::string(notification)};
                  if (kind == AXCallKind::removeNotification) {
                    if (registrations.erase(key) == 0) {
                      return {AXError::notificationNotRegistered, {}};
                    }
                    return {AXError::success, {}};
                  }
                  if (!isKnownNotification(notification)) {
                    return {AXError::notificationUnsupported, {}};
                  }
                  if (!registrations.insert(key).second) {
                    return {AXError::notificationAlreadyRegistered, {}};
                  }
                  return {AXError::success, {}};
                })
      .error;
}

AXError SimAccessibility::addNotification(const AXObserver& observer, const AXElement& element,
                                          std::string_view notification) {
  return changeRegistration(observer, element, notification, AXCallKind::addNotification);
}

AXError SimAccessibility::removeNotification(const AXObserver& observer, const AXElement& element,
                                             std::string_view notification) {
  return changeRegistration(observer, element, notification, AXCallKind::removeNotification);
}

void SimAccessibility::attachToMainRunLoop(const AXObserver& observer) {
  const SimObserverHandle* handle = observerHandle(observer);
  if (!handle) return;
  std::lock_guard lock(core_->mutex);
  auto it = core_->observers.find(handle->id());
  if (it != core_->observers.end()) it->second.attached = true;
}

void SimAccessibility::detachFromMainRunLoop(const AXObserver& observer) {
  const SimObserverHandle* handle = observerHandle(observer);
  if (!handle) return;
  std::lock_guard lock(core_->mutex);
  auto it = core_->observers.find(handle->id());
  if (it != core_->observers.end()) it->second.attached = false;
}

}  // namespace vistarail::sim
