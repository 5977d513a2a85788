#include "overlays/overlay_controller.h"

#include <cmath>

namespace vistarail {

namespace {

constexpr double kMinimapAboveAreaBottom = 40;  // caption 10 + 24 high + 6 between
constexpr double kCaptionAboveAreaBottom = 10;
constexpr double kCaptionHeight = 24;
constexpr double kArrowInset = 10;
constexpr double kMaxWidthShare = 0.8;

PanelStyle hudStyle(bool ignoresMouse) {
  return {kStatusBarWindowLevel, ignoresMouse, true, PanelBackground::hudMaterial, 12};
}
constexpr PanelStyle kClearStyle{kNormalWindowLevel, true, false, PanelBackground::none, 0};
constexpr PanelStyle kArrowStyle{kStatusBarWindowLevel, false, false, PanelBackground::none, 0};

}  // namespace

Rect OverlayController::toWindow(const Rect& topLeft) const {
  return flipVertically(topLeft, settings_.primaryHeight);
}

template <typename View>
void OverlayController::fade(Panel<View>& panel, bool visible, double seconds) {
  if (panel.targetVisible == visible) return;
  panel.targetVisible = visible;
  if (visible) panel.window->orderFrontRegardless();
  // A show that starts during a fade-out wins: the panel is ordered out only
  // if it is still meant to be hidden when the fade ends.
  std::weak_ptr<OverlayController> weak = weak_from_this();
  Panel<View>* target = &panel;
  panel.window->animateAlpha(visible ? 1 : 0, seconds, [weak, target] {
    if (auto self = weak.lock(); self && !target->targetVisible) target->window->orderOut();
  });
}

const OverlayPanel* OverlayController::visibleMinimap() const {
  return minimap_ && minimap_.targetVisible ? minimap_.window.get() : nullptr;
}

EdgeArrowView* OverlayController::arrowView(EdgeSide side) const {
  auto arrow = arrows_.find(side);
  return arrow == arrows_.end() ? nullptr : arrow->second.view.get();
}

const OverlayPanel* OverlayController::arrowPanel(EdgeSide side) const {
  auto arrow = arrows_.find(side);
  return arrow == arrows_.end() ? nullptr : arrow->second.window.get();
}

bool OverlayController::isShowing(const OverlayPanel* panel) const {
  if (!panel) return false;
  if (panel == minimap_.window.get()) return minimap_.targetVisible;
  if (panel == caption_.window.get()) return caption_.targetVisible;
  if (panel == border_.window.get()) return border_.targetVisible;
  if (panel == dim_.window.get()) return dim_.targetVisible;
  for (const auto& [side, arrow] : arrows_) {
    if (panel == arrow.window.get()) return arrow.targetVisible;
  }
  return false;
}

void OverlayController::update(const StripSnapshot& snapshot, const Rect& area,
                               const Rect& displayFrame,
                               const std::optional<FocusTarget>& focusTarget,
                               std::optional<WindowId> dimAnchor) {
  snapshot_ = snapshot;
  showSnapshot(area, displayFrame, focusTarget, dimAnchor);
}

void OverlayController::update(StripSnapshot&& snapshot, const Rect& area, const Rect& displayFrame,
                               const std::optional<FocusTarget>& focusTarget,
                               std::optional<WindowId> dimAnchor) {
  if (!snapshot_) snapshot_.emplace();
  std::swap(*snapshot_, snapshot);
  showSnapshot(area, displayFrame, focusTarget, dimAnchor);
}

void OverlayController::showSnapshot(const Rect& area, const Rect& displayFrame,
                                     const std::optional<FocusTarget>& focusTarget,
                                     std::optional<WindowId> dimAnchor) {
  area_ = area;
  displayFrame_ = displayFrame;
  updateBorder(focusTarget);
  updateDim(dimAnchor);
  signatureOf(*snapshot_, signature_);
  if (lastSignature_ && *lastSignature_ == signature_) {
    refresh();
    return;
  }
  if (!lastSignature_) lastSignature_.emplace();
  std::swap(*lastSignature_, signature_);
  // A minimap already up stays up while the strip keeps changing.
  if (pulseVisible_) pulse();
  refresh();
}

void OverlayController::updateBorder(const std::optional<FocusTarget>& target) {
  if (!settings_.showFocusBorder || !target) {
    if (border_) fade(border_, false, fade::kBorderSeconds);
    borderWindow_.reset();
    return;
  }
  if (!border_) {
    border_.view = std::make_shared<FocusBorderView>(ports_.panels);
    border_.window = ports_.panels.makePanel(kClearStyle, border_.view);
  }
  const double width = settings_.focusBorderWidth;
  const Rect frame = toWindow(target->frame).grownBy(width + 2);
  const Rect current = border_.window->frame();
  if (border_.view->lineWidth != width || current.size != frame.size) {
    border_.view->lineWidth = width;
    border_.view->setNeedsDisplay();
  }
  if (current != frame) border_.window->setFrame(frame, false);
  const bool wasVisible = border_.targetVisible;
  fade(border_, true, fade::kBorderSeconds);
  if (wasVisible && borderWindow_ == target->window && borderOrdered_) return;
  border_.window->order(WindowOrdering::above, target->window);
  borderWindow_ = target->window;
  borderOrdered_ = true;
}

void OverlayController::updateDim(std::optional<WindowId> anchor) {
  if (!settings_.dimInactive || !anchor) {
    if (dim_) fade(dim_, false, fade::kDimSeconds);
    dimWindow_.reset();
    return;
  }
  if (!dim_) {
    dim_.view = std::make_shared<DimView>();
    dim_.window = ports_.panels.makePanel(kClearStyle, dim_.view);
  }
  const Rect frame = toWindow(displayFrame_);
  if (dim_.window->frame() != frame) dim_.window->setFrame(frame, false);
  if (dim_.view->amount != settings_.dimAmount) {
    dim_.view->amount = settings_.dimAmount;
    dim_.view->setNeedsDisplay();
  }
  const bool wasVisible = dim_.targetVisible;
  fade(dim_, true, fade::kDimSeconds);
  if (wasVisible && dimWindow_ == anchor && dimOrdered_) return;
  dim_.window->order(WindowOrdering::below, *anchor);
  dimWindow_ = anchor;
  dimOrdered_ = true;
}

void OverlayController::pulse() {
  pulseVisible_ = true;
  if (hideWork_) hideWork_->cancel();
  std::weak_ptr<OverlayController> weak = weak_from_this();
  hideWork_ = ports_.dispatch.main()->asyncAfterCancellable(kPulseSeconds, [weak] {
    auto self = weak.lock();
    if (!self) return;
    self->hideWork_.reset();
    if (self->minimap_ && self->minimap_.targetVisible) {
      // A pointer resting on the minimap, or a drag on it, keeps it up. Look
      // again later rather than wait for the pointer to leave: a minimap that
      // came up under a still pointer never hears it enter, so never hears it
      // leave either.
      const Point pointer = self->ports_.workspace.pointerLocation();
      if (self->minimapView_->isDragging() || self->minimap_.window->frame().contains(pointer)) {
        self->pulse();
        return;
      }
    }
    self->pulseVisible_ = false;
    self->refresh();
  });
}

void OverlayController::hideMinimap() {
  if (minimap_) {
    fade(minimap_, false, fade::kMinimapSeconds);
    minimapView_->clearHoverAndPress();
  }
  if (caption_) fade(caption_, false, fade::kCaptionSeconds);
}

void OverlayController::refresh() {
  if (!snapshot_ || snapshot_->columns.size() < 2) {
    if (hideWork_) hideWork_->cancel();
    hideWork_.reset();
    pulseVisible_ = false;
    hideMinimap();
    for (auto& [side, arrow] : arrows_) fade(arrow, false, fade::kArrowSeconds);
    return;
  }
  const double maxWidth = roundHalfAwayFromZero(area_.width() * kMaxWidthShare);
  if (!settings_.showMinimap || !pulseVisible_ || !minimap::hasRoom(*snapshot_, maxWidth)) {
    hideMinimap();
  } else {
    refreshMinimap();
  }
  refreshArrow(EdgeSide::left);
  refreshArrow(EdgeSide::right);
}

void OverlayController::makeMinimap() {
  minimapView_ = std::make_shared<MinimapView>(ports_.panels);
  minimap_.view = minimapView_;
  minimap_.window = ports_.panels.makePanel(hudStyle(false), minimapView_);
  std::weak_ptr<OverlayController> weak = weak_from_this();
  minimapView_->onClick = [weak](WindowId id) {
    if (auto self = weak.lock(); self && self->onMinimapClick) self->onMinimapClick(id);
  };
  minimapView_->onReorder = [weak](WindowId id, MinimapDropTarget target) {
    if (auto self = weak.lock(); self && self->onMinimapReorder) {
      self->onMinimapReorder(id, target);
    }
  };
  auto changed = [weak] {
    if (auto self = weak.lock()) self->interactionChanged();
  };
  minimapView_->onDragChange = changed;
  minimapView_->onHoverChange = changed;
}

void OverlayController::refreshMinimap() {
  if (!minimap_) makeMinimap();
  MinimapView& view = *minimapView_;
  const double maxWidth = roundHalfAwayFromZero(area_.width() * kMaxWidthShare);
  // An unchanged strip costs no drawing: the view only hears of real changes.
  if (view.snapshot != snapshot_ || view.maxWidth != maxWidth) {
    view.snapshot = snapshot_;
    view.maxWidth = maxWidth;
    view.snapshotChanged();
    view.setNeedsDisplay();
    minimap_.window->invalidateCursorRects();
  }
  const Size size = view.preferredSize();
  const Rect area = toWindow(area_);
  const Rect frame(roundHalfAwayFromZero(area.midX() - size.width / 2),
                   area.minY() + kMinimapAboveAreaBottom, size.width, size.height);
  if (minimap_.window->frame() != frame) minimap_.window->setFrame(frame, true);
  fade(minimap_, true, fade::kMinimapSeconds);

  std::optional<AttributedText> text;
  if (auto hovered = view.hoveredWindow()) {
    if (const auto* label = snapshot_->label(*hovered)) text = captionText(*label, ports_.text);
  }
  if (!text) {
    if (caption_) fade(caption_, false, fade::kCaptionSeconds);
    return;
  }
  if (!caption_) {
    caption_.view = std::make_shared<CaptionView>();
    caption_.window = ports_.panels.makePanel(hudStyle(true), caption_.view);
  }
  if (caption_.view->text != text) {
    caption_.view->text = text;
    caption_.view->setNeedsDisplay();
  }
  const double width =
      std::ceil(std::min(ports_.panels.measureText(*text).width + 24, view.maxWidth));
  const Rect captionFrame(roundHalfAwayFromZero(frame.midX() - width / 2),
                          area.minY() + kCaptionAboveAreaBottom, width, kCaptionHeight);
  if (caption_.window->frame() != captionFrame) caption_.window->setFrame(captionFrame, true);
  fade(caption_, true, fade::kCaptionSeconds);
}

void OverlayController::refreshArrow(EdgeSide side) {
  const bool beyond =
      side == EdgeSide::left ? snapshot_->scroll > 1 : snapshot_->scroll < snapshot_->maxScroll - 1;
  const bool wanted = settings_.showEdgeArrows && beyond && (pulseVisible_ || edgeHover_ == side);
  auto existing = arrows_.find(side);
  if (!wanted) {
    if (existing != arrows_.end()) fade(existing->second, false, fade::kArrowSeconds);
    return;
  }
  Panel<EdgeArrowView>& arrow = arrows_[side];
  if (!arrow) {
    arrow.view = std::make_shared<EdgeArrowView>(ports_.panels, side);
    arrow.window = ports_.panels.makePanel(kArrowStyle, arrow.view);
    std::weak_ptr<OverlayController> weak = weak_from_this();
    arrow.view->onClick = [weak, side] {
      if (auto self = weak.lock(); self && self->onArrowClick) self->onArrowClick(side);
    };
    arrow.view->onHoverChange = [weak, side](bool inside) {
      if (auto self = weak.lock()) {
        self->setEdgeHover(inside ? std::optional<EdgeSide>(side) : std::nullopt);
      }
    };
  }
  const Rect area = toWindow(area_);
  const double size = EdgeArrowView::kSize.width;
  const double x =
      side == EdgeSide::left ? area.minX() + kArrowInset : area.maxX() - kArrowInset - size;
  const Rect frame(x, roundHalfAwayFromZero(area.midY() - size / 2), size, size);
  if (arrow.window->frame() != frame) arrow.window->setFrame(frame, true);
  fade(arrow, true, fade::kArrowSeconds);
}

void OverlayController::interactionChanged() {
  if (!minimap_ || !minimap_.targetVisible) return;
  if (minimapView_->isHovered() || minimapView_->isDragging()) {
    if (hideWork_) hideWork_->cancel();
    hideWork_.reset();
  } else if (pulseVisible_ && !hideWork_) {
    pulse();
  }
  refresh();
}

void OverlayController::setEdgeHover(std::optional<EdgeSide> side) {
  if (side) {
    if (edgeHoverWork_) edgeHoverWork_->cancel();
    edgeHoverWork_.reset();
    if (edgeHover_ == side) return;
    edgeHover_ = side;
    refresh();
    return;
  }
  if (!edgeHover_ || edgeHoverWork_) return;
  std::weak_ptr<OverlayController> weak = weak_from_this();
  edgeHoverWork_ = ports_.dispatch.main()->asyncAfterCancellable(kEdgeHoverLingerSeconds, [weak] {
    auto self = weak.lock();
    if (!self) return;
    self->edgeHoverWork_.reset();
    for (const auto& [arrowSide, arrow] : self->arrows_) {
      if (arrow.view->isHovered()) return;
    }
    self->edgeHover_.reset();
    self->refresh();
  });
}

void OverlayController::hideAll() {
  if (hideWork_) hideWork_->cancel();
  hideWork_.reset();
  snapshot_.reset();
  pulseVisible_ = false;
  edgeHover_.reset();
  if (border_) fade(border_, false, fade::kBorderHideAllSeconds);
  if (dim_) fade(dim_, false, fade::kDimSeconds);
  dimWindow_.reset();
  hideMinimap();
  for (auto& [side, arrow] : arrows_) fade(arrow, false, fade::kArrowSeconds);
}

}  // namespace vistarail
