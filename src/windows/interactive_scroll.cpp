// Direct scrolling: a multi-finger swipe or a Control-Option scroll moves a
// display's strip under the fingers, rubber-banding past its ends; on release
// it coasts by its velocity onto the nearest resting place and the window
// then most visible takes focus. A notched wheel steps the focus instead, and
// in carousel mode a swipe steps the focus once the fingers travelled far
// enough.

#include <algorithm>
#include <cmath>

#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

DisplayState* WindowManager::displayAt(Point location) {
  if (!std::isfinite(location.x) || !std::isfinite(location.y)) return nullptr;
  for (const DisplayInfo& info : displays_.connected) {
    if (info.frame.contains(location)) return displayState(info.id);
  }
  return nullptr;
}

void WindowManager::gestureInput(const GestureTouches& touches) {
  if (!settings_.swipeEnabled.value() || !running_ || !settings_.enabled.value()) return;
  if (swipe_.phase() == SwipeTracker::Phase::idle) {
    pointer_.gestureDisplayID.reset();
    if (!displays_.connected.empty()) {
      const Point pointer = flipVertically(ports_.workspace.pointerLocation(),
                                           displays_.connected.front().frame.height());
      if (DisplayState* display = displayAt(pointer)) pointer_.gestureDisplayID = display->info.id;
    }
  }
  int count = 0;
  Point sum;
  for (const Touch& touch : touches) {
    if (touch.type != TouchType::indirect || touch.isResting || touch.phase >= kTouchPhaseEnded) {
      continue;
    }
    ++count;
    sum.x += touch.normalizedPosition.x;
    sum.y += touch.normalizedPosition.y;
  }
  const Point centroid = count ? Point{sum.x / count, sum.y / count} : Point{};
  swipe_.update(count, centroid, ports_.dispatch.mediaTime());
  if (swipe_.phase() != SwipeTracker::Phase::idle) watchForStaleInput();
}

bool WindowManager::beginInteractiveScroll(DisplayState& display) {
  if (!commandsAllowed(display) || currentStrip(display).empty()) return false;
  if (pointer_.interactiveScroll) endInteractiveScroll();
  pointer_.interactiveScroll = true;
  pointer_.scrollingDisplayID = display.info.id;
  pointer_.carouselSwipe = 0;
  pointer_.carouselSwipeStepped = false;
  overlays_->reveal(display);
  Strip& strip = currentStrip(display);
  strip.scroll.velocity = 0;
  strip.scroll.target = strip.scroll.value;
  velocity_.reset();
  velocity_.add(ports_.dispatch.mediaTime(), strip.scroll.value);
  startAnimator();
  return true;
}

void WindowManager::scrollBy(DisplayState& display, double delta) {
  if (!pointer_.interactiveScroll || pointer_.scrollingDisplayID != display.info.id ||
      !commandsAllowed(display) || !std::isfinite(delta)) {
    return;
  }
  const LayoutGeometry geometry = geometryFor(display);
  const double width = display.info.visibleFrame.width();
  // No single event may fling the strip further than one screen.
  delta = std::clamp(delta, -width, width);
  Strip& strip = currentStrip(display);
  if (settings_.carouselMode.value()) {
    overlays_->reveal(display);
    pointer_.carouselSwipe += delta;
    if (std::abs(pointer_.carouselSwipe) >= timing::kCarouselStepShare * width) {
      focusColumn(strip.focusedIndex + (pointer_.carouselSwipe > 0 ? 1 : -1), display);
      pointer_.carouselSwipe = 0;
      pointer_.carouselSwipeStepped = true;
    }
    return;
  }
  double x = strip.scroll.value;
  const double end = maxScroll(strip, geometry);
  if ((x < 0 && delta < 0) || (delta > 0 && x > end)) delta *= timing::kRubberBand;
  // The rubber band stretches at most a screen past either end.
  x = std::clamp(x + delta, -width, end + width);
  strip.scroll.value = x;
  strip.scroll.target = x;
  velocity_.add(ports_.dispatch.mediaTime(), x);
  startAnimator();
}

void WindowManager::endInteractiveScroll() {
  if (!pointer_.interactiveScroll) return;
  const std::optional<std::string> id = pointer_.scrollingDisplayID;
  pointer_.interactiveScroll = false;
  pointer_.scrollingDisplayID.reset();
  // Whatever drove it, it is over: a quiet-wheel check must not later end
  // the next interaction, a swipe, in mid-gesture.
  pointer_.wheelScrollActive = false;
  DisplayState* display = id ? displayState(*id) : nullptr;
  if (!display || !commandsAllowed(*display)) return;
  Strip& strip = currentStrip(*display);

  if (settings_.carouselMode.value()) {
    if (!pointer_.carouselSwipeStepped &&
        std::abs(pointer_.carouselSwipe) > timing::kCarouselShortSwipePoints) {
      overlays_->reveal(*display);
      focusColumn(strip.focusedIndex + (pointer_.carouselSwipe > 0 ? 1 : -1), *display);
    }
    pointer_.carouselSwipe = 0;
    return;
  }

  const LayoutGeometry geometry = geometryFor(*display);
  double v = velocity_.velocity();
  if (!std::isfinite(v)) v = 0;
  v = std::clamp(v, -timing::kMaxReleaseVelocity, timing::kMaxReleaseVelocity);
  const double projected = strip.scroll.value + v * timing::kReleaseProjectionSeconds;
  const double snapped = snapTarget(strip, geometry, projected);
  // The column most visible where the strip comes to rest takes the focus,
  // and the strip then rests where the centre mode puts a focused column.
  // Resting at the snap alone would leave the strip to jump to that place
  // at the next unrelated focus report, seconds later.
  if (auto index = mostVisibleColumn(strip, geometry, snapped);
      index && *index != strip.focusedIndex) {
    strip.setFocusedIndex(*index);
    if (const Column* column = strip.focusedColumn()) {
      if (auto window = column->activeWindow()) focusWindow(*window);
    }
  }
  const double target =
      scrollTarget(strip, strip.focusedIndex, geometry, settings_.centerMode.value(), snapped);
  strip.scroll.target = target;
  if (settings_.animations.value()) {
    strip.scroll.velocity = v;
  } else {
    strip.scroll.velocity = 0;
    strip.scroll.value = target;
  }
  startAnimator();
  scheduleSave();
}

void WindowManager::modifierScroll(const ScrollSample& sample) {
  if (!std::isfinite(sample.deltaX) || !std::isfinite(sample.deltaY)) return;
  DisplayState* display = nullptr;
  if (pointer_.wheelScrollActive) {
    if (pointer_.scrollingDisplayID) display = displayState(*pointer_.scrollingDisplayID);
  } else {
    display = displayAt(sample.location);
  }
  if (!display || !commandsAllowed(*display) || currentStrip(*display).empty()) return;
  const double d =
      std::abs(sample.deltaX) > std::abs(sample.deltaY) ? sample.deltaX : sample.deltaY;
  const double now = ports_.dispatch.mediaTime();

  if (!sample.isContinuous) {
    if (d != 0 && now - pointer_.lastWheelStep > timing::kWheelStepSeconds) {
      pointer_.lastWheelStep = now;
      performCommand(d < 0 ? Action::focusRight : Action::focusLeft, *display);
    }
    return;
  }
  // The release spring supplies the coasting; the system's momentum would
  // only fight it.
  if (sample.momentumPhase != 0) return;
  pointer_.lastWheelEvent = now;
  constexpr int64_t kPhaseEnded = 4;
  constexpr int64_t kPhaseCancelled = 8;
  if (sample.phase == kPhaseEnded || sample.phase == kPhaseCancelled) {
    pointer_.wheelScrollActive = false;
    endInteractiveScroll();
    return;
  }
  if (!pointer_.interactiveScroll && beginInteractiveScroll(*display)) {
    pointer_.wheelScrollActive = true;
    watchForStaleInput();
  }
  scrollBy(*display, settings_.invertSwipe.value() ? d : -d);
}

// Swipes and wheel scrolls whose end never came are ended by a timer that
// runs only while one is under way.
void WindowManager::watchForStaleInput() {
  if (staleSwipeTimer_ && staleSwipeTimer_->isValid()) return;
  staleSwipeTimer_ = ports_.dispatch.scheduleRepeating(
      ports_.dispatch.main(), timing::kStaleSwipeTickSeconds, [weak = weak_from_this()] {
        if (auto self = weak.lock()) self->staleSwipeTick();
      });
}

void WindowManager::staleSwipeTick() {
  const double now = ports_.dispatch.mediaTime();
  swipe_.endIfStale(now);
  if (pointer_.wheelScrollActive && now - pointer_.lastWheelEvent > timing::kQuietWheelSeconds) {
    pointer_.wheelScrollActive = false;
    endInteractiveScroll();
  }
  if (swipe_.phase() == SwipeTracker::Phase::idle && !pointer_.wheelScrollActive) {
    if (staleSwipeTimer_) staleSwipeTimer_->invalidate();
    staleSwipeTimer_.reset();
  }
}

}  // namespace vistarail
