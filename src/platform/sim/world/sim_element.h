#pragma once
// Element and observer handles of the simulated accessibility services. An
// element is a name (what it stands for), never a pointer into the world, so
// handles stay valid to hold after their window is gone and compare equal
// whenever they name the same thing.

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/ax_types.h"
#include "platform/sim/world/world_types.h"

namespace vistarail::sim {

enum class ElementKind : uint8_t {
  systemWide,
  application,
  window,
  minimizeButton,
  fullScreenButton,
};

struct ElementRef {
  ElementKind kind = ElementKind::systemWide;
  Pid pid = 0;
  WindowKey window = 0;  // for windows and their buttons
  friend auto operator<=>(const ElementRef&, const ElementRef&) = default;
  friend bool operator==(const ElementRef&, const ElementRef&) = default;
};

inline ElementRef applicationRef(Pid pid) {
  return {ElementKind::application, pid, 0};
}
inline ElementRef windowRef(Pid pid, WindowKey window) {
  return {ElementKind::window, pid, window};
}

class SimElementHandle final : public AXHandleImpl {
 public:
  explicit SimElementHandle(ElementRef ref) : ref_(ref) {}
  const ElementRef& ref() const { return ref_; }
  bool equals(const AXHandleImpl& other) const override;
  size_t hash() const override;

 private:
  ElementRef ref_;
};

class SimObserverHandle final : public AXHandleImpl {
 public:
  SimObserverHandle(uint64_t id, Pid pid) : id_(id), pid_(pid) {}
  uint64_t id() const { return id_; }
  Pid pid() const { return pid_; }
  bool equals(const AXHandleImpl& other) const override;
  size_t hash() const override { return std::hash<uint64_t>()(id_); }

 private:
  uint64_t id_;
  Pid pid_;
};

AXElement makeElement(const ElementRef& ref);
// The reference behind a handle of this simulator; absent for empty or
// foreign handles.
std::optional<ElementRef> elementRef(const AXElement& element);
const SimObserverHandle* observerHandle(const AXObserver& observer);

// "window 3 of 501", for traces.
std::string describe(const ElementRef& ref);

}  // namespace vistarail::sim
