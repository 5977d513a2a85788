#include "platform/sim/world/sim_element.h"

namespace vistarail::sim {

bool SimElementHandle::equals(const AXHandleImpl& other) const {
  const auto* o = dynamic_cast<const SimElementHandle*>(&other);
  return o && o->ref_ == ref_;
}

size_t SimElementHandle::hash() const {
  size_t h = std::hash<uint64_t>()(ref_.window);
  h = h * 31 + std::hash<int32_t>()(ref_.pid);
  return h * 31 + static_cast<size_t>(ref_.kind);
}

bool SimObserverHandle::equals(const AXHandleImpl& other) const {
  const auto* o = dynamic_cast<const SimObserverHandle*>(&other);
  return o && o->id_ == id_;
}

AXElement makeElement(const ElementRef& ref) {
  return AXElement(std::make_shared<const SimElementHandle>(ref));
}

std::optional<ElementRef> elementRef(const AXElement& element) {
  const auto* handle = dynamic_cast<const SimElementHandle*>(element.impl());
  if (!handle) return std::nullopt;
  return handle->ref();
}

const SimObserverHandle* observerHandle(const AXObserver& observer) {
  return dynamic_cast<const SimObserverHandle*>(observer.impl());
}

std::string describe(const ElementRef& ref) {
  const std::string pid = std::to_string(ref.pid);
  const std::string window = std::to_string(ref.window);
  switch (ref.kind) {
    case ElementKind::systemWide:
      return "system-wide";
    case ElementKind::application:
      return "app " + pid;
    case ElementKind::window:
      return "window " + window + " of " + pid;
    case ElementKind::minimizeButton:
      return "minimize button of window " + window + " of " + pid;
    case ElementKind::fullScreenButton:
      return "full-screen button of window " + window + " of " + pid;
  }
  return "?";
}

}  // namespace vistarail::sim
