#pragma once
// The accessibility port over X11: other clients' top-level windows as
// window elements, their processes as application elements, reads and writes
// through EWMH and ICCCM, and notifications from the event pump.
//
// Frames are the decorated window's (the client's rectangle grown by
// _NET_FRAME_EXTENTS), in the program's global space. A position or size is
// written as an EWMH move-resize request of the client rectangle with static
// gravity, so the window manager places the client where the frame asked
// for puts it; like a Mac application, the window manager may refuse or
// adjust, and success means only that the request was sent to a window that
// exists. A window gone mid-call answers invalidUIElement.

#include <X11/Xlib.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <tuple>

#include "platform/accessibility.h"
#include "platform/x11/x_connection.h"
#include "platform/x11/x_desktop.h"

namespace vistarail::x11 {

enum class ElementKind { application, window, button, systemWide };

class XElement final : public AXHandleImpl {
 public:
  XElement(ElementKind kind, Pid pid, Window window) : kind(kind), pid(pid), window(window) {}
  bool equals(const AXHandleImpl& other) const override;
  size_t hash() const override;
  const ElementKind kind;
  const Pid pid;
  const Window window;  // None for applications and the system-wide element
};

// The X element behind a handle; null for any other kind of handle.
const XElement* xElement(const AXElement& element);

class XAccessibility final : public Accessibility {
 public:
  XAccessibility(XServer& server, XDesktop& desktop) : server_(server), desktop_(desktop) {}

  bool isProcessTrusted(TrustPrompt) override { return true; }
  AXElement applicationElement(Pid pid) override;
  AXElement systemWideElement() override;
  AXError setMessagingTimeout(const AXElement&, double) override { return AXError::success; }
  AXResult<AXValue> copyAttributeValue(const AXElement& element,
                                       std::string_view attribute) override;
  std::vector<AXResult<AXValue>> copyMultipleAttributeValues(
      const AXElement& element, const std::vector<std::string_view>& attributes) override;
  AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                            const AXValue& value) override;
  AXResult<bool> isAttributeSettable(const AXElement& element, std::string_view attribute) override;
  AXError performAction(const AXElement& element, std::string_view action) override;
  AXResult<Pid> pid(const AXElement& element) override;
  bool hasWindowNumberLookup() const override { return true; }
  AXResult<WindowId> windowNumber(const AXElement& window) override;
  AXResult<AXObserver> createObserver(Pid pid, AXObserverCallback callback) override;
  AXError addNotification(const AXObserver& observer, const AXElement& element,
                          std::string_view notification) override;
  AXError removeNotification(const AXObserver& observer, const AXElement& element,
                             std::string_view notification) override;
  void attachToMainRunLoop(const AXObserver& observer) override;
  void detachFromMainRunLoop(const AXObserver& observer) override;

  // --- The event pump, on the main queue.
  AXElement windowElement(Pid pid, Window window) const;
  // Calls every attached observer registered for the notification on the
  // element (or, for application notifications, on its application).
  void deliver(const AXElement& registeredOn, const AXElement& about, const std::string& name);

 private:
  // An element and a notification name.
  using Registration = std::tuple<int, Pid, Window, std::string>;
  static std::optional<Registration> registrationOf(const AXElement& element,
                                                    std::string_view name);

  struct ObserverState {
    Pid pid = 0;
    AXObserverCallback callback;
    bool attached = false;
    std::set<Registration> registrations;
    // The handle the program holds; once every copy is dropped the observer
    // is gone, as the platform releases one (its callbacks with it).
    std::weak_ptr<const AXHandleImpl> handle;
  };

  AXResult<AXValue> readWindow(Display* d, const XElement& e, std::string_view attribute);
  AXResult<AXValue> readApplication(Display* d, const XElement& e, std::string_view attribute);
  AXError writeFrame(Display* d, const XElement& e, std::optional<Point> origin,
                     std::optional<Size> size);
  void activate(Display* d, Window w);

  XServer& server_;
  XDesktop& desktop_;
  // VISTARAIL_X11_TRACE=1 writes every frame request to standard error.
  const bool trace_ = tracing();
  std::mutex mutex_;
  uint64_t nextObserver_ = 1;
  std::map<uint64_t, ObserverState> observers_;
};

}  // namespace vistarail::x11
