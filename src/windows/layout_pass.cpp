// Laying displays out: frames from the strip, parking for columns out of
// view, scrolling to the focused column, the per-frame tick, and what the
// manager learns from windows that come out larger than asked.

#include <algorithm>
#include <cmath>

#include "strip/strip_springs.h"
#include "windows/park_frame.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

void WindowManager::layout(DisplayState& display) {
  if (!running_ || !settings_.enabled.value() || !display.isActive()) return;
  Strip* strip = display.currentStrip();
  if (!strip) return;
  const LayoutGeometry geometry = geometryFor(display);
  if (settings_.carouselMode.value()) {
    carouselFrames(*strip, geometry, settings_.carouselCenterWidth.value(),
                   settings_.carouselSideHeight.value(), displays_.verifiedSizes, frameScratch_);
  } else {
    frames(*strip, geometry, strip->scroll.value, frameScratch_);
  }
  applyFrames(display, frameScratch_);
  overlays_->update(display);
}

void WindowManager::applyFrames(DisplayState& display, const FrameList& frames) {
  std::vector<Rect>& others = otherFramesScratch_;
  others.clear();
  for (const DisplayInfo& info : displays_.connected) {
    if (info.id != display.info.id) others.push_back(info.frame);
  }
  const Rect displayFrame = display.info.frame;
  const double now = ports_.dispatch.mediaTime();
  for (const WindowFrame& entry : frames) {
    auto window = table_.windows.find(entry.window);
    if (window == table_.windows.end()) continue;
    const WindowId id = entry.window;
    auto [last, inserted] = displays_.layoutFrames.try_emplace(id, entry.frame);
    if (!inserted) {
      if (last->second.size != entry.frame.size) displays_.verifiedSizes.erase(id);
      last->second = entry.frame;
    }
    // Runs for every window on every frame: the sets asked are nearly
    // always empty, and a look at an empty one still hashes.
    if ((!pointer_.heldForDrag.empty() && pointer_.heldForDrag.contains(id)) ||
        (pointer_.mouseDragging && pointer_.pressWindow == id)) {
      continue;
    }
    if (auto held = displays_.windowDisplays.try_emplace(id, display.info.id);
        !held.second && held.first->second != display.info.id) {
      held.first->second = display.info.id;
    }
    // A window that refused its laid-out size is judged and parked by the
    // size it took: one narrower than its column can be wholly off the
    // display while the column still shows, and parked by the column's width
    // it would leave no sliver inside the edge. The laid-out size is still
    // what is asked for.
    Rect taken = entry.frame;
    if (!displays_.verifiedSizes.empty()) {
      if (auto took = displays_.verifiedSizes.find(id); took != displays_.verifiedSizes.end())
        taken.size = took->second;
    }
    const bool parked =
        isOffDisplay(taken, displayFrame) || spillsOntoAnotherDisplay(taken, display);
    moved_.laidOut(id, parked, now);
    if (parked) {
      Rect park = parkFrame(taken, displayFrame, others);
      park.size = entry.frame.size;
      mover_->apply(window->second.handle, park, displayFrame);
    } else {
      mover_->apply(window->second.handle, entry.frame);
    }
  }
}

bool WindowManager::spillsOntoAnotherDisplay(const Rect& frame, const DisplayState& display) const {
  // The window server gives a window to the display holding most of it: a
  // column scrolled mostly past the edge onto a neighbouring display would
  // land in that display's Space, over its strip or hidden behind its
  // full-screen Space. It is parked instead, like a column out of view; so is
  // a column lying exactly half on each, which the window server may give to
  // either. Runs for every window on every frame, so it compares in place.
  const double own = frame.intersectionArea(display.info.frame);
  for (const DisplayInfo& other : displays_.connected) {
    if (other.id == display.info.id) continue;
    const double there = frame.intersectionArea(other.frame);
    if (there > 0 && there >= own) return true;
  }
  return false;
}

void WindowManager::ensureFocusedVisible(DisplayState& display, bool animated) {
  if (!running_ || !settings_.enabled.value() || !display.isActive()) return;
  Strip* strip = display.currentStrip();
  if (!strip) return;
  const double target = scrollTarget(*strip, strip->focusedIndex, geometryFor(display),
                                     settings_.centerMode.value(), strip->scroll.target);
  scrollTo(display, animated, target);
}

void WindowManager::scrollTo(DisplayState& display, bool animated, double target) {
  Strip& strip = currentStrip(display);
  strip.scroll.target = target;
  if (!(animated && settings_.animations.value() && !settings_.carouselMode.value())) {
    strip.scroll.value = target;
    strip.scroll.velocity = 0;
  }
  startAnimator();
}

void WindowManager::snapScrollToFocus(DisplayState& display) {
  Strip& strip = currentStrip(display);
  const double target = scrollTarget(strip, strip.focusedIndex, geometryFor(display),
                                     settings_.centerMode.value(), strip.scroll.target);
  strip.scroll.value = target;
  strip.scroll.target = target;
  strip.scroll.velocity = 0;
}

SlideSettings WindowManager::slideSettings() const {
  return {settings_.animations.value(), settings_.carouselMode.value()};
}

void WindowManager::animatedMutation(DisplayState& display,
                                     const std::function<void(Strip&)>& change) {
  vistarail::animatedMutation(currentStrip(display), geometryFor(display), slideSettings(), change);
}

void WindowManager::startAnimator() {
  if (running_ && settings_.enabled.value() && anyActiveDisplay()) animator_.start();
}

bool WindowManager::tick(double dtSeconds) {
  if (!running_ || !settings_.enabled.value()) return false;
  bool animating = false;
  for (DisplayState* display : activeDisplays()) {
    Strip* strip = display->currentStrip();
    if (!strip) continue;
    const bool fingerDriven =
        pointer_.interactiveScroll && pointer_.scrollingDisplayID == display->info.id;
    // Columns that went (a window closed, an application quit) shorten the
    // strip under a scroll that rested near its end: the spring heads for
    // the nearest place the strip can rest.
    if (!fingerDriven && !settings_.carouselMode.value()) {
      const double limit = maxScroll(*strip, geometryFor(*display));
      strip->scroll.target = std::clamp(strip->scroll.target, 0.0, limit);
    }
    const SpringFrame frame{
        lifecycle_.springStiffness, dtSeconds,
        settings_.animations.value() ? SpringMotion::animated : SpringMotion::instant,
        fingerDriven ? ScrollDriver::finger : ScrollDriver::spring};
    if (advanceStripSprings(*strip, frame)) animating = true;
    layout(*display);
  }
  if (!animating) changes.emit(Change::settled);
  return animating;
}

void WindowManager::verified(WindowId id, const Rect& written, const Rect& read) {
  constexpr double tol = timing::kVerifiedSizeTolerancePoints;
  const Size requested = written.size;
  const Size actual = read.size;
  auto known = displays_.verifiedSizes.find(id);
  const bool wasKnown = known != displays_.verifiedSizes.end();
  const Size before = wasKnown ? known->second : requested;
  // A parked window's width counts to the point: its sliver is one point.
  // So does one whose column barely shows at the display's left edge: a
  // window a point or two narrower than its column (it keeps its left edge)
  // may show nothing there, and the window server then pulls it back in.
  DisplayState* display = activeDisplayHolding(id);
  auto laid = displays_.layoutFrames.find(id);
  const bool barelyShown =
      display && laid != displays_.layoutFrames.end() &&
      isOffDisplay({laid->second.origin, {laid->second.width() - tol, laid->second.height()}},
                   display->info.frame);
  const double widthTol =
      moved_.is(id, MovedState::parked) || barelyShown ? timing::kParkedWidthTolerancePoints : tol;
  if (std::fabs(actual.width - requested.width) > widthTol ||
      std::fabs(actual.height - requested.height) > tol) {
    displays_.verifiedSizes[id] = actual;
  } else {
    displays_.verifiedSizes.erase(id);
  }
  // Whether a window is parked, and where, depends on its real width, and
  // so does where the carousel places it: lay its display out again when the
  // new width changes any of these.
  if (running_ && std::fabs(before.width - actual.width) > widthTol) {
    if (!display || laid == displays_.layoutFrames.end()) return;
    Rect taken = laid->second;
    taken.size.width = actual.width;
    if (settings_.carouselMode.value() || moved_.is(id, MovedState::parked) ||
        isOffDisplay(taken, display->info.frame) || spillsOntoAnotherDisplay(taken, *display)) {
      const bool whereWritten =
          std::fabs(read.minX() - written.minX()) <= timing::kExternalTolerancePoints &&
          std::fabs(read.minY() - written.minY()) <= timing::kExternalTolerancePoints;
      if (!whereWritten && !followMovedWidth(id)) return;
      layout(*display);
    }
  }
}

bool WindowManager::followMovedWidth(WindowId id) {
  auto& record = external_.movedWidthFollows[id];
  const double now = ports_.dispatch.mediaTime();
  if (record.count > 0 && now - record.time > timing::kFightMemorySeconds) record = {};
  if (record.count >= timing::kMaxReassertions) return false;
  ++record.count;
  record.time = now;
  return true;
}

void WindowManager::sizeMismatch(WindowId id, Size requested, Size actual) {
  if (!running_) return;
  DisplayState* display = activeDisplayHolding(id);
  if (!display) return;
  Strip& strip = currentStrip(*display);
  const auto index = strip.columnIndexOf(id);
  if (!index) return;
  const bool carousel = settings_.carouselMode.value();
  if (carousel && *index != strip.focusedIndex) return;
  const LayoutGeometry geometry = geometryFor(*display);
  constexpr double tol = timing::kSizeMismatchTolerancePoints;

  bool changed = false;
  if (requested.width + tol < actual.width && !carousel) {
    const auto proportion = adoptedProportion(actual.width, geometry);
    if (proportion &&
        strip.columns[*index].proportion + timing::kWidthAdoptionTolerance < *proportion) {
      const ColumnId column = strip.columns[*index].id();
      animatedMutation(*display, [&](Strip& s) {
        if (auto i = s.columnIndexOf(column)) s.columns[*i].proportion = *proportion;
      });
      changed = true;
    }
  }
  const bool taller = requested.height + tol < actual.height;
  if (taller && strip.columns[*strip.columnIndexOf(id)].count() >= 2) {
    auto known = strip.minHeights.find(id);
    const bool grows = known != strip.minHeights.end()
                           ? known->second + timing::kMinHeightUpdateTolerancePoints < actual.height
                           : actual.height > 1;
    if (grows) {
      strip.minHeights[id] = actual.height;
      animatedMutation(*display, [&](Strip& s) { s.enforceMinHeights(geometry); });
      changed = true;
    }
  }
  if (changed) {
    ensureFocusedVisible(*display, true);
    scheduleSave();
  }
}

void WindowManager::adoptWidth(DisplayState& display, int columnIndex, double width) {
  Strip& strip = currentStrip(display);
  if (columnIndex < 0 || columnIndex >= strip.count()) return;
  const auto proportion = adoptedProportion(width, geometryFor(display));
  if (!proportion) return;
  const ColumnId column = strip.columns[columnIndex].id();
  animatedMutation(display, [&](Strip& s) {
    if (auto i = s.columnIndexOf(column)) {
      s.columns[*i].proportion = *proportion;
      s.columns[*i].proportionBeforeFullWidth.reset();
    }
  });
}

void WindowManager::resetOffsets() {
  for (auto& [id, display] : displays_.states) {
    for (auto& [space, strip] : display.strips) {
      for (Column& column : strip.columns) column.offset = Spring{};
    }
  }
}

void WindowManager::dropMoverRecords(WindowId id) {
  auto held = mover_->lock();
  mover_->dropAppliedAndGaveUp(held, id);
}

void WindowManager::dropAllMoverRecords() {
  auto held = mover_->lock();
  for (const auto& [id, window] : table_.windows) mover_->dropAppliedAndGaveUp(held, id);
}

}  // namespace vistarail
