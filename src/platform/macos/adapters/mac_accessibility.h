#pragma once
// The accessibility port over the platform's accessibility services
// (ApplicationServices): elements, attribute values, observers.
//
// Elements are compared as the services compare them (CFEqual), so two
// handles to one window are equal. Observer callbacks come on the main run
// loop (the main thread, so the main queue) once attached.

#include <ApplicationServices/ApplicationServices.h>

#include "platform/accessibility.h"

namespace vistarail::macos {

class MacAccessibility final : public Accessibility {
 public:
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
};

// The platform element behind a handle; null for an empty handle or one made
// by another adapter.
AXUIElementRef elementRef(const AXElement& element);
// A handle that owns a reference to the element (retained here).
AXElement makeElement(AXUIElementRef element);

}  // namespace vistarail::macos
