#include "sim_runner/planted_ports.h"

#include "platform/ax_names.h"
#include "strip/layout_store.h"

namespace vistarail::simrun {

const std::vector<std::string>& plantableFaults() {
  static const std::vector<std::string> faults = {"wrongFrame", "focusNotFollowed", "overlayLeftUp",
                                                  "timerLeftRunning", "fourColumns"};
  return faults;
}

AXError CountingAccessibility::setAttributeValue(const AXElement& element,
                                                 std::string_view attribute, const AXValue& value) {
  const bool position = attribute == ax::kPosition;
  if (position || attribute == ax::kSize) {
    ++frameWrites_;
    lastFrameWriteAt_ = clock_();
  }
  if (position && fault_ == "wrongFrame") {
    if (auto point = asPoint(value)) {
      return inner_.setAttributeValue(element, attribute, Point{point->x + 40, point->y});
    }
  }
  return inner_.setAttributeValue(element, attribute, value);
}

AXResult<AXValue> CountingAccessibility::copyAttributeValue(const AXElement& element,
                                                            std::string_view attribute) {
  if (fault_ == "focusNotFollowed" && attribute == ax::kFocusedWindow) {
    return AXResult<AXValue>::fail(AXError::cannotComplete);
  }
  return inner_.copyAttributeValue(element, attribute);
}

AXResult<AXObserver> CountingAccessibility::createObserver(Pid pid, AXObserverCallback callback) {
  if (fault_ != "focusNotFollowed") return inner_.createObserver(pid, std::move(callback));
  return inner_.createObserver(
      pid, [callback = std::move(callback)](const AXObserver& observer, const AXElement& element,
                                            const std::string& name) {
        if (name == ax::kFocusedWindowChanged || name == ax::kMainWindowChanged) return;
        callback(observer, element, name);
      });
}

void StaleDefaults::set(const std::string& key, const PropertyList& value) {
  if (stale_ && key == kLayoutKey) {
    if (!firstLayout_) firstLayout_ = value;
    return inner_.set(key, *firstLayout_);
  }
  inner_.set(key, value);
}

namespace {

// A panel that stays up once shown.
class StuckPanel final : public OverlayPanel {
 public:
  explicit StuckPanel(OverlayPanelRef inner) : inner_(std::move(inner)) {}
  WindowId windowNumber() const override { return inner_->windowNumber(); }
  const PanelView& content() const override { return inner_->content(); }
  Rect frame() const override { return inner_->frame(); }
  void setFrame(const Rect& frame, bool display) override { inner_->setFrame(frame, display); }
  double alpha() const override { return inner_->alpha(); }
  void setAlpha(double alpha) override {
    if (alpha > 0) inner_->setAlpha(alpha);
  }
  void animateAlpha(double target, double durationSeconds,
                    std::function<void()> completion) override {
    inner_->animateAlpha(target > 0 ? target : inner_->alpha(), durationSeconds,
                         std::move(completion));
  }
  bool isVisible() const override { return inner_->isVisible(); }
  void orderFrontRegardless() override { inner_->orderFrontRegardless(); }
  void order(WindowOrdering ordering, WindowId relativeTo) override {
    inner_->order(ordering, relativeTo);
  }
  void orderOut() override {}
  void invalidateCursorRects() override { inner_->invalidateCursorRects(); }

 private:
  OverlayPanelRef inner_;
};

// A display link that keeps running once started. Its owner's frames stop
// when the owner lets go of it (the owner may be gone), the link does not.
class StuckLink final : public DisplayLink {
 public:
  StuckLink(DisplayLinkRef inner, std::shared_ptr<bool> owned)
      : inner_(std::move(inner)), owned_(std::move(owned)) {}
  ~StuckLink() override { *owned_ = false; }
  void start() override { inner_->start(); }
  void stop() override {}
  bool isRunning() const override { return inner_->isRunning(); }

 private:
  DisplayLinkRef inner_;
  std::shared_ptr<bool> owned_;
};

}  // namespace

OverlayPanelRef FaultyOverlayPanels::makePanel(const PanelStyle& style,
                                               std::shared_ptr<PanelView> content) {
  return std::make_shared<StuckPanel>(inner_.makePanel(style, std::move(content)));
}

DisplayLinkRef FaultyDisplayLinks::makeDisplayLink(const ScreenInfo& screen, FrameHandler onFrame) {
  auto owned = std::make_shared<bool>(true);
  DisplayLinkRef inner =
      inner_.makeDisplayLink(screen, [owned, onFrame = std::move(onFrame)](double now) {
        if (*owned) onFrame(now);
      });
  if (!inner) return nullptr;
  leaked_.push_back(inner);
  return std::make_shared<StuckLink>(inner, owned);
}

}  // namespace vistarail::simrun
