#pragma once
// The ports the program is given in a session: the simulated desktop's own,
// seen through thin wrappers that count what the checker needs (frames
// written) and, when asked, plant one fault of the kind the checker must
// catch, so that each invariant is shown to fire without touching the
// program itself:
//
//   wrongFrame        every window lands 40 points right of where it was sent
//   focusNotFollowed  the focused-window notifications never arrive, and
//                     asking an application for its focused window fails
//   overlayLeftUp     overlay panels ignore being ordered out or faded out
//   timerLeftRunning  display links ignore being stopped and keep running
//                     after their owner lets go of them
//   staleLayout       every save of the layouts writes the first one again
//   fourColumns       (the checker's own) a strip may not hold four columns

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/accessibility.h"
#include "platform/defaults.h"
#include "platform/display_link.h"
#include "platform/overlay_panels.h"

namespace vistarail::simrun {

const std::vector<std::string>& plantableFaults();

class CountingAccessibility final : public Accessibility {
 public:
  CountingAccessibility(Accessibility& inner, std::string fault, std::function<double()> clock)
      : inner_(inner), fault_(std::move(fault)), clock_(std::move(clock)) {}
  size_t frameWrites() const { return frameWrites_; }
  // When a window's position or size was last written; -infinity before any.
  double lastFrameWriteAt() const { return lastFrameWriteAt_; }

  bool isProcessTrusted(TrustPrompt prompt) override { return inner_.isProcessTrusted(prompt); }
  AXElement applicationElement(Pid pid) override { return inner_.applicationElement(pid); }
  AXElement systemWideElement() override { return inner_.systemWideElement(); }
  AXError setMessagingTimeout(const AXElement& element, double seconds) override {
    return inner_.setMessagingTimeout(element, seconds);
  }
  AXResult<AXValue> copyAttributeValue(const AXElement& element,
                                       std::string_view attribute) override;
  std::vector<AXResult<AXValue>> copyMultipleAttributeValues(
      const AXElement& element, const std::vector<std::string_view>& attributes) override {
    return inner_.copyMultipleAttributeValues(element, attributes);
  }
  AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                            const AXValue& value) override;
  AXResult<bool> isAttributeSettable(const AXElement& element,
                                     std::string_view attribute) override {
    return inner_.isAttributeSettable(element, attribute);
  }
  AXError performAction(const AXElement& element, std::string_view action) override {
    return inner_.performAction(element, action);
  }
  AXResult<Pid> pid(const AXElement& element) override { return inner_.pid(element); }
  bool hasWindowNumberLookup() const override { return inner_.hasWindowNumberLookup(); }
  AXResult<WindowId> windowNumber(const AXElement& window) override {
    return inner_.windowNumber(window);
  }
  AXResult<AXObserver> createObserver(Pid pid, AXObserverCallback callback) override;
  AXError addNotification(const AXObserver& observer, const AXElement& element,
                          std::string_view notification) override {
    return inner_.addNotification(observer, element, notification);
  }
  AXError removeNotification(const AXObserver& observer, const AXElement& element,
                             std::string_view notification) override {
    return inner_.removeNotification(observer, element, notification);
  }
  void attachToMainRunLoop(const AXObserver& observer) override {
    inner_.attachToMainRunLoop(observer);
  }
  void detachFromMainRunLoop(const AXObserver& observer) override {
    inner_.detachFromMainRunLoop(observer);
  }

 private:
  Accessibility& inner_;
  std::string fault_;
  std::function<double()> clock_;
  size_t frameWrites_ = 0;
  double lastFrameWriteAt_ = -std::numeric_limits<double>::infinity();
};

class FaultyOverlayPanels final : public OverlayPanels {
 public:
  explicit FaultyOverlayPanels(OverlayPanels& inner) : inner_(inner) {}
  OverlayPanelRef makePanel(const PanelStyle& style, std::shared_ptr<PanelView> content) override;
  ImageRef applicationIcon(Pid pid) override { return inner_.applicationIcon(pid); }
  SystemColors systemColors() override { return inner_.systemColors(); }
  Size measureText(const AttributedText& text) override { return inner_.measureText(text); }
  void pushCursor(Cursor cursor) override { inner_.pushCursor(cursor); }
  void popCursor() override { inner_.popCursor(); }

 private:
  OverlayPanels& inner_;
};

class FaultyDisplayLinks final : public DisplayLinkFactory {
 public:
  explicit FaultyDisplayLinks(DisplayLinkFactory& inner) : inner_(inner) {}
  DisplayLinkRef makeDisplayLink(const ScreenInfo& screen, FrameHandler onFrame) override;

 private:
  DisplayLinkFactory& inner_;
  // Every link made, kept running after its owner let go of it.
  std::vector<DisplayLinkRef> leaked_;
};

class StaleDefaults final : public Defaults {
 public:
  StaleDefaults(Defaults& inner, bool stale) : inner_(inner), stale_(stale) {}
  void registerDefaults(const PropertyList& dictionary) override {
    inner_.registerDefaults(dictionary);
  }
  std::optional<PropertyList> object(const std::string& key) const override {
    return inner_.object(key);
  }
  void set(const std::string& key, const PropertyList& value) override;
  void remove(const std::string& key) override { inner_.remove(key); }

 private:
  Defaults& inner_;
  bool stale_;
  std::optional<PropertyList> firstLayout_;
};

}  // namespace vistarail::simrun
