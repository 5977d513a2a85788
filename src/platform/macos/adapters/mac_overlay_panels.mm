#include "platform/macos/adapters/mac_overlay_panels.h"

#import <AppKit/AppKit.h>
#import <QuartzCore/QuartzCore.h>
#include <dispatch/dispatch.h>

#include <memory>
#include <utility>

#include "platform/macos/adapters/mac_canvas.h"

using vistarail::PanelView;

namespace {

NSCursor* nsCursor(vistarail::Cursor cursor) {
  switch (cursor) {
    case vistarail::Cursor::openHand:
      return NSCursor.openHandCursor;
    case vistarail::Cursor::closedHand:
      return NSCursor.closedHandCursor;
    case vistarail::Cursor::arrow:
      break;
  }
  return NSCursor.arrowCursor;
}

NSRect nsRect(const vistarail::Rect& r) {
  return {{r.origin.x, r.origin.y}, {r.size.width, r.size.height}};
}

}  // namespace

// Never key, never main: clicking an overlay leaves the user's window active.
@interface VROverlayPanel : NSPanel
@end

@implementation VROverlayPanel
- (BOOL)canBecomeKeyWindow {
  return NO;
}
- (BOOL)canBecomeMainWindow {
  return NO;
}
@end

// Hosts one PanelView: flipped (origin top-left, as the views draw), mouse
// events in its own coordinates, the view's cursor rectangles.
@interface VRPanelContentView : NSView
- (instancetype)initWithFrame:(NSRect)frame view:(std::shared_ptr<PanelView>)view;
@end

@implementation VRPanelContentView {
  std::shared_ptr<PanelView> _view;
  NSTrackingArea* _tracking;
}

- (instancetype)initWithFrame:(NSRect)frame view:(std::shared_ptr<PanelView>)view {
  if ((self = [super initWithFrame:frame])) {
    _view = std::move(view);
    _view->hostResized({frame.size.width, frame.size.height});
  }
  return self;
}

- (BOOL)isFlipped {
  return YES;
}

- (BOOL)acceptsFirstMouse:(NSEvent*)event {
  (void)event;
  return YES;
}

- (void)setFrameSize:(NSSize)size {
  [super setFrameSize:size];
  _view->hostResized({size.width, size.height});
}

- (void)drawRect:(NSRect)dirty {
  (void)dirty;
  vistarail::macos::MacCanvas canvas(NSGraphicsContext.currentContext.CGContext, true);
  _view->draw(canvas);
  _view->didDisplay();
}

- (vistarail::Point)pointOf:(NSEvent*)event {
  const NSPoint p = [self convertPoint:event.locationInWindow fromView:nil];
  return {p.x, p.y};
}

- (void)mouseEntered:(NSEvent*)event {
  _view->mouseEntered([self pointOf:event]);
}
- (void)mouseMoved:(NSEvent*)event {
  _view->mouseMoved([self pointOf:event]);
}
- (void)mouseExited:(NSEvent*)event {
  _view->mouseExited([self pointOf:event]);
}
- (void)mouseDown:(NSEvent*)event {
  _view->mouseDown([self pointOf:event]);
}
- (void)mouseDragged:(NSEvent*)event {
  _view->mouseDragged([self pointOf:event]);
}
- (void)mouseUp:(NSEvent*)event {
  _view->mouseUp([self pointOf:event]);
}

- (void)updateTrackingAreas {
  [super updateTrackingAreas];
  if (_tracking) [self removeTrackingArea:_tracking];
  // Following the visible rectangle, so no rebuild is needed on resizes.
  _tracking =
      [[NSTrackingArea alloc] initWithRect:NSZeroRect
                                   options:NSTrackingMouseEnteredAndExited | NSTrackingMouseMoved |
                                           NSTrackingActiveAlways | NSTrackingInVisibleRect
                                     owner:self
                                  userInfo:nil];
  [self addTrackingArea:_tracking];
}

- (void)resetCursorRects {
  for (const vistarail::CursorRect& r : _view->cursorRects()) {
    [self addCursorRect:nsRect(r.rect) cursor:nsCursor(r.cursor)];
  }
}
@end

namespace vistarail::macos {

namespace {

class MacOverlayPanel final : public OverlayPanel {
 public:
  MacOverlayPanel(VROverlayPanel* panel, VRPanelContentView* view,
                  std::shared_ptr<PanelView> content)
      : panel_(panel), view_(view), content_(std::move(content)) {}
  ~MacOverlayPanel() override {
    content_->setHost(nullptr);
    [panel_ orderOut:nil];
  }

  WindowId windowNumber() const override {
    const NSInteger number = panel_.windowNumber;
    return number > 0 ? static_cast<WindowId>(number) : 0;
  }
  const PanelView& content() const override { return *content_; }

  Rect frame() const override {
    const NSRect f = panel_.frame;  // window coordinates, as the port's
    return {f.origin.x, f.origin.y, f.size.width, f.size.height};
  }
  void setFrame(const Rect& frame, bool display) override {
    [panel_ setFrame:nsRect(frame) display:display];
  }

  double alpha() const override { return panel_.alphaValue; }
  void setAlpha(double alpha) override { panel_.alphaValue = alpha; }

  void animateAlpha(double target, double durationSeconds,
                    std::function<void()> completion) override {
    auto done = std::make_shared<std::function<void()>>(std::move(completion));
    if (!(durationSeconds > 0)) {
      panel_.alphaValue = target;
      // Still later, on the main queue, as an animation's completion would be.
      dispatch_async_f(dispatch_get_main_queue(), new std::shared_ptr<std::function<void()>>(done),
                       [](void* context) {
                         std::unique_ptr<std::shared_ptr<std::function<void()>>> fn(
                             static_cast<std::shared_ptr<std::function<void()>>*>(context));
                         if (**fn) (**fn)();
                       });
      return;
    }
    VROverlayPanel* panel = panel_;
    // The completion runs when the group's animations end, also when a later
    // animation of the same property took over.
    [NSAnimationContext
        runAnimationGroup:^(NSAnimationContext* context) {
          context.duration = durationSeconds;
          panel.animator.alphaValue = target;
        }
        completionHandler:^{
          if (*done) (*done)();
        }];
  }

  bool isVisible() const override { return panel_.visible; }
  void orderFrontRegardless() override { [panel_ orderFrontRegardless]; }
  void order(WindowOrdering ordering, WindowId relativeTo) override {
    [panel_ orderWindow:ordering == WindowOrdering::above ? NSWindowAbove : NSWindowBelow
             relativeTo:static_cast<NSInteger>(relativeTo)];
  }
  void orderOut() override { [panel_ orderOut:nil]; }
  void invalidateCursorRects() override { [panel_ invalidateCursorRectsForView:view_]; }

 private:
  VROverlayPanel* panel_;
  VRPanelContentView* view_;
  std::shared_ptr<PanelView> content_;
};

}  // namespace

OverlayPanelRef MacOverlayPanels::makePanel(const PanelStyle& style,
                                            std::shared_ptr<PanelView> content) {
  const NSRect initial = {{0, 0}, {10, 10}};
  VROverlayPanel* panel =
      [[VROverlayPanel alloc] initWithContentRect:initial
                                        styleMask:NSWindowStyleMaskNonactivatingPanel
                                          backing:NSBackingStoreBuffered
                                            defer:YES];
  panel.opaque = NO;
  panel.backgroundColor = NSColor.clearColor;
  panel.releasedWhenClosed = NO;
  panel.hidesOnDeactivate = NO;
  panel.becomesKeyOnlyIfNeeded = YES;
  panel.animationBehavior = NSWindowAnimationBehaviorNone;
  panel.alphaValue = 0;
  panel.collectionBehavior =
      NSWindowCollectionBehaviorCanJoinAllSpaces | NSWindowCollectionBehaviorStationary |
      NSWindowCollectionBehaviorIgnoresCycle | NSWindowCollectionBehaviorFullScreenAuxiliary;
  panel.level = style.level;
  panel.ignoresMouseEvents = style.ignoresMouseEvents;
  panel.hasShadow = style.hasShadow;

  VRPanelContentView* view = [[VRPanelContentView alloc] initWithFrame:initial view:content];
  if (style.background == PanelBackground::hudMaterial) {
    NSVisualEffectView* effect = [[NSVisualEffectView alloc] initWithFrame:initial];
    effect.material = NSVisualEffectMaterialHUDWindow;
    effect.blendingMode = NSVisualEffectBlendingModeBehindWindow;
    effect.state = NSVisualEffectStateActive;
    effect.wantsLayer = YES;
    effect.layer.cornerRadius = style.cornerRadius;
    effect.layer.masksToBounds = YES;
    view.autoresizingMask = NSViewWidthSizable | NSViewHeightSizable;
    [effect addSubview:view];
    panel.contentView = effect;
  } else {
    panel.contentView = view;
  }
  __weak VRPanelContentView* weakView = view;
  content->setHost([weakView] { [weakView setNeedsDisplay:YES]; });
  return std::make_shared<MacOverlayPanel>(panel, view, std::move(content));
}

ImageRef MacOverlayPanels::applicationIcon(Pid pid) {
  NSImage* icon = [NSRunningApplication runningApplicationWithProcessIdentifier:pid].icon;
  if (!icon) return nullptr;
  return std::make_shared<MacImage>(icon);
}

SystemColors MacOverlayPanels::systemColors() {
  // Dynamic colours resolve under the current drawing appearance; take the
  // application's, so dark mode gives dark-mode values.
  __block SystemColors colors;
  [NSApp.effectiveAppearance performAsCurrentDrawingAppearance:^{
    const auto read = [](NSColor* color) {
      NSColor* rgb = [color colorUsingColorSpace:NSColorSpace.sRGBColorSpace];
      if (!rgb) return kBlack;
      return Color{rgb.redComponent, rgb.greenComponent, rgb.blueComponent, rgb.alphaComponent};
    };
    colors = {read(NSColor.controlAccentColor), read(NSColor.windowBackgroundColor),
              read(NSColor.labelColor)};
  }];
  return colors;
}

Size MacOverlayPanels::measureText(const AttributedText& text) {
  const NSSize size = attributedString(text).size;
  return {size.width, size.height};
}

void MacOverlayPanels::pushCursor(Cursor cursor) {
  [nsCursor(cursor) push];
}

void MacOverlayPanels::popCursor() {
  [NSCursor pop];
}

}  // namespace vistarail::macos
