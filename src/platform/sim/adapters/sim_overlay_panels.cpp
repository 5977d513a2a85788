#include "platform/sim/adapters/sim_overlay_panels.h"

#include <algorithm>

#include "platform/sim/adapters/recording_canvas.h"
#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

namespace {

class SimOverlayPanel final : public OverlayPanel,
                              public std::enable_shared_from_this<SimOverlayPanel> {
 public:
  SimOverlayPanel(std::shared_ptr<WorldCore> core, Dispatch& dispatch,
                  std::shared_ptr<PanelView> content, std::shared_ptr<int> draws,
                  const PanelStyle& style)
      : core_(std::move(core)),
        dispatch_(dispatch),
        content_(std::move(content)),
        draws_(std::move(draws)) {
    std::lock_guard lock(core_->mutex);
    key_ = core_->nextWindowKey++;
    number_ = core_->nextWindowNumber++;
    SimPanel panel;
    panel.key = key_;
    panel.number = number_;
    panel.style = style;
    core_->panels[key_] = panel;
    content_->hostResized(panel.frame.size);
  }

  ~SimOverlayPanel() override {
    std::lock_guard lock(core_->mutex);
    core_->panels.erase(key_);
    std::erase(core_->zOrder, key_);
  }

  // The view's redraws go through the panel once it is shared.
  void attach() {
    std::weak_ptr<SimOverlayPanel> weak = weak_from_this();
    content_->setHost([weak] {
      if (auto self = weak.lock()) self->scheduleDisplay();
    });
  }

  WindowId windowNumber() const override { return number_; }
  const PanelView& content() const override { return *content_; }

  Rect frame() const override {
    std::lock_guard lock(core_->mutex);
    return core_->panels.at(key_).frame;
  }

  void setFrame(const Rect& frame, bool display) override {
    {
      std::lock_guard lock(core_->mutex);
      core_->panels.at(key_).frame = frame;
    }
    if (content_->boundsSize() != frame.size) {
      content_->hostResized(frame.size);
      content_->setNeedsDisplay();
    }
    if (display) displayIfNeeded();
  }

  double alpha() const override {
    const double now = dispatch_.mediaTime();
    std::lock_guard lock(core_->mutex);
    return core_->panels.at(key_).alphaAt(now);
  }

  void setAlpha(double alpha) override {
    std::lock_guard lock(core_->mutex);
    SimPanel& panel = core_->panels.at(key_);
    panel.alphaFrom = panel.alphaTo = alpha;
    panel.fadeSeconds = 0;
  }

  void animateAlpha(double target, double durationSeconds,
                    std::function<void()> completion) override {
    const double now = dispatch_.mediaTime();
    {
      std::lock_guard lock(core_->mutex);
      SimPanel& panel = core_->panels.at(key_);
      panel.alphaFrom = panel.alphaAt(now);
      panel.alphaTo = target;
      panel.fadeStartSeconds = now;
      panel.fadeSeconds = durationSeconds;
    }
    if (completion) dispatch_.main()->asyncAfter(durationSeconds, std::move(completion));
  }

  bool isVisible() const override {
    std::lock_guard lock(core_->mutex);
    return core_->panels.at(key_).orderedIn;
  }

  void orderFrontRegardless() override {
    {
      std::lock_guard lock(core_->mutex);
      std::erase(core_->zOrder, key_);
      core_->zOrder.insert(core_->zOrder.begin(), key_);
      core_->panels.at(key_).orderedIn = true;
    }
    scheduleDisplay();
  }

  void order(WindowOrdering ordering, WindowId relativeTo) override {
    {
      std::lock_guard lock(core_->mutex);
      std::vector<WindowKey>& z = core_->zOrder;
      std::erase(z, key_);
      auto reference = std::find_if(z.begin(), z.end(), [&](WindowKey key) {
        if (auto panel = core_->panels.find(key); panel != core_->panels.end()) {
          return panel->second.number == relativeTo;
        }
        const SimWindow* w = core_->findWindow(key);
        return w && w->number == relativeTo && relativeTo != 0;
      });
      if (reference == z.end()) {
        z.insert(ordering == WindowOrdering::above ? z.begin() : z.end(), key_);
      } else {
        z.insert(ordering == WindowOrdering::above ? reference : reference + 1, key_);
      }
      core_->panels.at(key_).orderedIn = true;
    }
    scheduleDisplay();
  }

  void orderOut() override {
    std::lock_guard lock(core_->mutex);
    std::erase(core_->zOrder, key_);
    core_->panels.at(key_).orderedIn = false;
  }

  void invalidateCursorRects() override {}

 private:
  void scheduleDisplay() {
    if (displayScheduled_ || !content_->needsDisplay()) return;
    displayScheduled_ = true;
    std::weak_ptr<SimOverlayPanel> weak = weak_from_this();
    dispatch_.main()->async([weak] {
      if (auto self = weak.lock()) {
        self->displayScheduled_ = false;
        self->displayIfNeeded();
      }
    });
  }

  // A window that is not ordered in is not drawn; it draws when it comes back.
  void displayIfNeeded() {
    if (!content_->needsDisplay() || !isVisible()) return;
    DisplayList drawing;
    RecordingCanvas canvas(drawing);
    content_->draw(canvas);
    content_->didDisplay();
    ++*draws_;
    std::lock_guard lock(core_->mutex);
    core_->panels.at(key_).drawing = std::move(drawing);
  }

  std::shared_ptr<WorldCore> core_;
  Dispatch& dispatch_;
  std::shared_ptr<PanelView> content_;
  std::shared_ptr<int> draws_;
  WindowKey key_ = 0;
  WindowId number_ = 0;
  bool displayScheduled_ = false;
};

}  // namespace

SimOverlayPanels::SimOverlayPanels(World& world, Dispatch& dispatch)
    : world_(world), dispatch_(dispatch) {}

OverlayPanelRef SimOverlayPanels::makePanel(const PanelStyle& style,
                                            std::shared_ptr<PanelView> content) {
  auto panel = std::make_shared<SimOverlayPanel>(world_.core(), dispatch_, std::move(content),
                                                 draws_, style);
  panel->attach();
  return panel;
}

Size SimOverlayPanels::measureText(const AttributedText& text) {
  DisplayList unused;
  return RecordingCanvas(unused).measureText(text);
}

ImageRef SimOverlayPanels::applicationIcon(Pid pid) {
  auto app = world_.app(pid);
  if (!app || app->terminated) return nullptr;
  return std::make_shared<SimImage>(app->name, pid);
}

}  // namespace vistarail::sim
