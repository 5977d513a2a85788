#pragma once
// The accessibility services: reading and writing other applications' windows,
// and observing their notifications.
//
// Threading: every call aimed at one application may block for up to the
// messaging time-out when that application is slow or hung, so callers make
// them only from that application's serial queue. Observer callbacks arrive on
// the main queue once the observer is attached to the main run loop.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ax_types.h"

namespace vistarail {

enum class TrustPrompt { none, promptIfNeeded };

// Called on the main queue with the observer, the element the notification is
// about and the notification's name.
using AXObserverCallback =
    std::function<void(const AXObserver&, const AXElement&, const std::string&)>;

class Accessibility {
 public:
  virtual ~Accessibility() = default;

  // Whether this process may use the services; optionally asks the user.
  virtual bool isProcessTrusted(TrustPrompt prompt) = 0;

  virtual AXElement applicationElement(Pid pid) = 0;
  virtual AXElement systemWideElement() = 0;
  // Bounds how long calls through the element (or, for the system-wide element,
  // every element) wait for an answer before failing with cannotComplete.
  virtual AXError setMessagingTimeout(const AXElement& element, double seconds) = 0;

  virtual AXResult<AXValue> copyAttributeValue(const AXElement& element,
                                               std::string_view attribute) = 0;
  // Several attributes of one element in one round trip to its application,
  // one result per name in order; an attribute that fails carries its own
  // error, and a failed call fails every entry with the call's error.
  virtual std::vector<AXResult<AXValue>> copyMultipleAttributeValues(
      const AXElement& element, const std::vector<std::string_view>& attributes) = 0;
  // Success means the application accepted the value, not that it took effect.
  virtual AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                                    const AXValue& value) = 0;
  virtual AXResult<bool> isAttributeSettable(const AXElement& element,
                                             std::string_view attribute) = 0;
  virtual AXError performAction(const AXElement& element, std::string_view action) = 0;
  virtual AXResult<Pid> pid(const AXElement& element) = 0;

  // The private window-number lookup. Absent on systems where it cannot be
  // found; then windowNumber always fails with notImplemented.
  virtual bool hasWindowNumberLookup() const = 0;
  virtual AXResult<WindowId> windowNumber(const AXElement& window) = 0;

  virtual AXResult<AXObserver> createObserver(Pid pid, AXObserverCallback callback) = 0;
  // notificationAlreadyRegistered (-25209) means the registration exists.
  virtual AXError addNotification(const AXObserver& observer, const AXElement& element,
                                  std::string_view notification) = 0;
  virtual AXError removeNotification(const AXObserver& observer, const AXElement& element,
                                     std::string_view notification) = 0;
  // Adds or removes the observer's run-loop source on the main run loop; only
  // attached observers deliver callbacks.
  virtual void attachToMainRunLoop(const AXObserver& observer) = 0;
  virtual void detachFromMainRunLoop(const AXObserver& observer) = 0;
};

}  // namespace vistarail
