// The input parts' wiring: hot keys, event taps and the swipe tracker are
// started and stopped with the manager; which shortcuts are live and where
// Control-Option scrolls are taken follow the state of the displays.

#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

namespace {

// While nothing can be tiled (a full-screen Space, an unmanaged display,
// management paused) these stay global; every other shortcut goes back to
// the applications.
bool staysGlobal(Action action) {
  return action == Action::togglePause || action == Action::toggleCarousel ||
         action == Action::retile;
}

}  // namespace

void WindowManager::startInput() {
  std::weak_ptr<WindowManager> weak = weak_from_this();
  hotkeys_->onAction = [weak](Action action) {
    if (auto self = weak.lock()) self->dispatchHotKey(action);
  };

  swipe_.fingers = settings_.swipeFingers.value();
  swipe_.onBegin = [weak] {
    auto self = weak.lock();
    if (!self || !self->pointer_.gestureDisplayID) return;
    if (DisplayState* display = self->displayState(*self->pointer_.gestureDisplayID)) {
      self->beginInteractiveScroll(*display);
    }
  };
  swipe_.onMove = [weak](double dx) {
    auto self = weak.lock();
    if (!self) return;
    const auto& p = self->pointer_;
    if (!p.scrollingDisplayID || p.scrollingDisplayID != p.gestureDisplayID) return;
    DisplayState* display = self->displayState(*p.scrollingDisplayID);
    if (!display) return;
    const double sensitivity = self->settings_.swipeSensitivity.value();
    double delta = display->info.visibleFrame.width() * dx * sensitivity;
    if (!self->settings_.invertSwipe.value()) delta = -delta;
    self->scrollBy(*display, delta);
  };
  swipe_.onEnd = [weak] {
    if (auto self = weak.lock()) self->endInteractiveScroll();
  };
  eventTaps_->onGesture = [weak](const GestureTouches& touches) {
    if (auto self = weak.lock()) self->gestureInput(touches);
  };
  eventTaps_->onMouseButton = [weak](bool isDown, Point location) {
    if (auto self = weak.lock()) self->mouseButton(isDown, location);
  };
  eventTaps_->onMouseDragged = [weak](Point location) {
    if (auto self = weak.lock()) self->mouseDragged(location);
  };
  eventTaps_->onMouseMoved = [weak](Point location) {
    if (auto self = weak.lock()) self->mouseMoved(location);
  };
  eventTaps_->onModifierScroll = [weak](const ScrollSample& sample) {
    if (auto self = weak.lock()) self->modifierScroll(sample);
  };
  syncInterception();
  eventTaps_->start();
}

void WindowManager::stopInput() {
  eventTaps_->stop();
  if (staleSwipeTimer_) staleSwipeTimer_->invalidate();
  staleSwipeTimer_.reset();
  // A quitting program must not keep the user's shortcuts from other
  // applications, nor act on them.
  hotkeys_->unregisterAll();
  registeredBindings_.clear();
}

void WindowManager::syncInterception() {
  const bool on = running_ && settings_.enabled.value();
  eventTaps_->setInterceptScroll(on && settings_.modifierScroll.value());
  std::vector<Rect> frames;
  if (on) {
    for (DisplayState* display : activeDisplays()) frames.push_back(display->info.frame);
  }
  eventTaps_->setScrollFrames(std::move(frames));
}

void WindowManager::syncHotKeys() {
  if (!running_) return;
  const bool active = settings_.enabled.value() && commandDisplay() != nullptr;
  Bindings effective = settings_.bindings.value();
  if (!active)
    std::erase_if(effective, [](const auto& entry) { return !staysGlobal(entry.first); });
  if (effective == registeredBindings_) return;
  registeredBindings_ = effective;
  hotkeys_->registerBindings(effective);
}

void WindowManager::dispatchHotKey(Action action) {
  if (!running_) return;
  perform(action);
}

}  // namespace vistarail
