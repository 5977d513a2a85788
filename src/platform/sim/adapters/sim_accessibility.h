#pragma once
// The accessibility services over the simulated world. Elements name what
// they stand for (the system-wide element, an application, a window, one of a
// window's buttons) rather than pointing at it, so two handles to one window
// compare equal and a handle to a closed window fails with invalidUIElement.
//
// Calls that message an application spend its latency on the calling queue
// (Dispatch::sleep) and, when it is hung, wait for the messaging time-out and
// fail with cannotComplete. Elements of an application that is not running
// fail with cannotComplete at once.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/accessibility.h"
#include "platform/sim/world/world.h"

namespace vistarail::sim {

// The name calls reading several attributes at once are recorded under.
inline constexpr const char* kMultipleAttributesCall = "(multiple attributes)";

class SimAccessibility final : public Accessibility {
 public:
  explicit SimAccessibility(World& world);

  bool isProcessTrusted(TrustPrompt prompt) override;

  AXElement applicationElement(Pid pid) override;
  AXElement systemWideElement() override;
  AXError setMessagingTimeout(const AXElement& element, double seconds) override;

  AXResult<AXValue> copyAttributeValue(const AXElement& element,
                                       std::string_view attribute) override;
  std::vector<AXResult<AXValue>> copyMultipleAttributeValues(
      const AXElement& element, const std::vector<std::string_view>& attributes) override;
  AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                            const AXValue& value) override;
  AXResult<bool> isAttributeSettable(const AXElement& element, std::string_view attribute) override;
  AXError performAction(const AXElement& element, std::string_view action) override;
  AXResult<Pid> pid(const AXElement& element) override;

  bool hasWindowNumberLookup() const override;
  AXResult<WindowId> windowNumber(const AXElement& window) override;

  AXResult<AXObserver> createObserver(Pid pid, AXObserverCallback callback) override;
  AXError addNotification(const AXObserver& observer, const AXElement& element,
                          std::string_view notification) override;
  AXError removeNotification(const AXObserver& observer, const AXElement& element,
                             std::string_view notification) override;
  void attachToMainRunLoop(const AXObserver& observer) override;
  void detachFromMainRunLoop(const AXObserver& observer) override;

  // The element of a window of the world (what "AXWindows" hands out).
  AXElement windowElement(WindowKey window) const;
  // The window an element stands for, if it is a window element.
  static std::optional<WindowKey> windowKey(const AXElement& element);

 private:
  // Adds or removes one observer registration (kind says which).
  AXError changeRegistration(const AXObserver& observer, const AXElement& element,
                             std::string_view notification, AXCallKind kind);

  std::shared_ptr<WorldCore> core_;
};

}  // namespace vistarail::sim
