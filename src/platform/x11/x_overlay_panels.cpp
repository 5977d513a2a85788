#include "platform/x11/x_overlay_panels.h"

#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <cairo-xlib.h>

#include <cstdio>
#include <string>

#include "platform/sim/adapters/recording_canvas.h"
#include "platform/sim/renderer/renderer_panels.h"

namespace vistarail::x11 {

namespace {

class XPanel final : public OverlayPanel, public std::enable_shared_from_this<XPanel> {
 public:
  XPanel(XOverlayPanels& owner, XServer& server, XDesktop& desktop, Dispatch& dispatch,
         PanelStyle style, std::shared_ptr<PanelView> view)
      : owner_(owner),
        server_(server),
        desktop_(desktop),
        dispatch_(dispatch),
        style_(style),
        view_(std::move(view)) {}
  ~XPanel() override {
    if (window_ != None) {
      Display* d = server_.connection();
      XDestroyWindow(d, window_);
      XFreeColormap(d, colormap_);
      XFlush(d);
    }
  }

  void hostView() {
    std::weak_ptr<XPanel> weak = weak_from_this();
    view_->setHost([weak, this] {
      if (weak.expired() || redrawQueued_) return;
      redrawQueued_ = true;
      dispatch_.main()->async([weak] {
        if (auto self = weak.lock()) {
          self->redrawQueued_ = false;
          self->draw();
        }
      });
    });
    view_->hostResized(frame_.size);
  }

  WindowId windowNumber() const override { return static_cast<WindowId>(window_); }
  const PanelView& content() const override { return *view_; }
  Rect frame() const override { return frame_; }
  void setFrame(const Rect& frame, bool display) override {
    frame_ = frame;
    view_->hostResized(frame.size);
    if (window_ != None) {
      const Rect root = rootFrame();
      XMoveResizeWindow(server_.connection(), window_, static_cast<int>(root.minX()),
                        static_cast<int>(root.minY()), pixels(root.width()), pixels(root.height()));
    }
    if (display) draw();
  }
  double alpha() const override { return alpha_; }
  void setAlpha(double alpha) override {
    alpha_ = alpha;
    draw();
  }
  void animateAlpha(double target, double duration, std::function<void()> completion) override {
    // Shown at its final alpha at once; the completion keeps its timing.
    setAlpha(target);
    if (completion) dispatch_.main()->asyncAfter(duration, std::move(completion));
  }
  bool isVisible() const override { return visible_; }
  void orderFrontRegardless() override { orderIn(None, Above); }
  void order(WindowOrdering ordering, WindowId relativeTo) override {
    orderIn(static_cast<Window>(relativeTo), ordering == WindowOrdering::above ? Above : Below);
  }
  void orderOut() override {
    visible_ = false;
    if (window_ != None) {
      XUnmapWindow(server_.connection(), window_);
      XFlush(server_.connection());
    }
  }
  void invalidateCursorRects() override {}

 private:
  static unsigned int pixels(double v) { return v < 1 ? 1u : static_cast<unsigned>(v + 0.5); }

  Rect rootFrame() const {
    const auto displays = desktop_.displays();
    const double primaryHeight = displays.empty() ? 0 : displays.front().frame.height();
    return desktop_.space().toRoot(flipVertically(frame_, primaryHeight));
  }

  bool makeWindow() {
    if (window_ != None) return true;
    if (!owner_.canComposite()) return false;
    Display* d = server_.connection();
    XVisualInfo info;
    if (!XMatchVisualInfo(d, DefaultScreen(d), 32, TrueColor, &info)) return false;
    visual_ = info.visual;
    colormap_ = XCreateColormap(d, server_.root(), visual_, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.colormap = colormap_;
    attributes.border_pixel = 0;
    attributes.background_pixel = 0;
    const Rect root = rootFrame();
    window_ = XCreateWindow(
        d, server_.root(), static_cast<int>(root.minX()), static_cast<int>(root.minY()),
        pixels(root.width()), pixels(root.height()), 0, 32, InputOutput, visual_,
        CWOverrideRedirect | CWColormap | CWBorderPixel | CWBackPixel, &attributes);
    XStoreName(d, window_, "Vistarail overlay");
    if (style_.ignoresMouseEvents) {
      // An empty input region: clicks go to whatever is below.
      XShapeCombineRectangles(d, window_, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
    }
    return true;
  }

  void orderIn(Window sibling, int mode) {
    if (!makeWindow()) return;
    Display* d = server_.connection();
    visible_ = true;
    XMapWindow(d, window_);
    XWindowChanges changes{};
    changes.stack_mode = mode;
    unsigned int mask = CWStackMode;
    if (sibling != None) {
      changes.sibling = topLevelOf(d, server_.root(), sibling);
      mask |= CWSibling;
    }
    ErrorTrap trap(d);
    XConfigureWindow(d, window_, mask, &changes);
    if (trap.error() != 0 && sibling != None) {
      // No such window: front or back of everything, as the port says.
      changes.stack_mode = mode;
      XConfigureWindow(d, window_, CWStackMode, &changes);
    }
    draw();
  }

  void draw() {
    view_->didDisplay();
    if (window_ == None || !visible_) return;
    sim::DisplayList list;
    sim::RecordingCanvas canvas(list);
    view_->draw(canvas);
    Display* d = server_.connection();
    const Rect root = rootFrame();
    cairo_surface_t* surface =
        cairo_xlib_surface_create(d, window_, visual_, static_cast<int>(pixels(root.width())),
                                  static_cast<int>(pixels(root.height())));
    cairo_t* cr = cairo_create(surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_push_group(cr);
    sim::replay(cr, list);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, alpha_);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    XFlush(d);
  }

  XOverlayPanels& owner_;
  XServer& server_;
  XDesktop& desktop_;
  Dispatch& dispatch_;
  PanelStyle style_;
  std::shared_ptr<PanelView> view_;
  Rect frame_{0, 0, 10, 10};
  double alpha_ = 0;
  bool visible_ = false;
  bool redrawQueued_ = false;
  Window window_ = None;
  Visual* visual_ = nullptr;
  Colormap colormap_ = None;
};

}  // namespace

bool XOverlayPanels::canComposite() {
  Display* d = server_.connection();
  const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(d));
  const bool composited = XGetSelectionOwner(d, XInternAtom(d, name.c_str(), False)) != None;
  if (!composited && !warned_) {
    warned_ = true;
    std::fprintf(stderr,
                 "vistarail-x11: no compositing manager runs; overlays (minimap, focus "
                 "border, dimming) stay hidden\n");
  }
  return composited;
}

OverlayPanelRef XOverlayPanels::makePanel(const PanelStyle& style,
                                          std::shared_ptr<PanelView> content) {
  auto panel =
      std::make_shared<XPanel>(*this, server_, desktop_, dispatch_, style, std::move(content));
  panel->hostView();
  return panel;
}

SystemColors XOverlayPanels::systemColors() {
  return {{0.0, 0.48, 1.0, 1.0}, {0.93, 0.93, 0.93, 1.0}, {0, 0, 0, 0.85}};
}

Size XOverlayPanels::measureText(const AttributedText& text) {
  // The recording canvas's metric, so layout matches what is replayed.
  sim::DisplayList list;
  sim::RecordingCanvas canvas(list);
  return canvas.measureText(text);
}

}  // namespace vistarail::x11
