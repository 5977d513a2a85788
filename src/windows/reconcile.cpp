// Bringing every active display's strip in line with the windows that exist,
// forgetting windows that are gone, and answering moves and resizes of tiled
// windows that the program did not make.

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "platform/ax_names.h"
#include "windows/ax_read.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

void WindowManager::reconcile() {
  pipeline_.reconcileScheduled = false;
  refreshSpaces(std::nullopt);
  if (managing()) {
    emit(ManagerEvent::Kind::reconcile);
    const auto onScreen = readOnScreenWindows();
    for (DisplayState* display : activeDisplays()) reconcileDisplay(*display, onScreen);
    syncFocus(true);
  }
  for (auto& [id, display] : displays_.states) overlays_->update(display);
  stateChanged();
}

std::unordered_set<WindowId> WindowManager::readOnScreenWindows() {
  const std::vector<WindowInfo> infos =
      ports_.windowServer.copyWindowInfo(window_list::kOnScreenWindows, 0);
  std::unordered_set<WindowId> ids;
  for (const WindowInfo& info : infos) ids.insert(info.number);
  noticeUnheardMoves(infos);
  return ids;
}

void WindowManager::noticeUnheardMoves(const std::vector<WindowInfo>& onScreen) {
  // A window joins the strip of the display its last known frame lies on.
  // When its application moved it to another display and the notification
  // was lost, nothing reads it again, and it stands untiled where it went.
  // The window server lists where every window stands: a window in no strip
  // shown now, whose frame the program does not own, is known to stand there
  // once that is another display.
  std::unordered_set<WindowId> shown;
  for (DisplayState* display : activeDisplays()) {
    for (WindowId id : currentStrip(*display).allWindows()) shown.insert(id);
  }
  for (const WindowInfo& info : onScreen) {
    if (shown.contains(info.number)) continue;
    auto it = table_.windows.find(info.number);
    if (it == table_.windows.end()) continue;
    TrackedWindow& window = it->second;
    if (!window.isTileable || !window.lastKnownFrame || moved_.isOwed(info.number)) continue;
    const auto now = displayContainingFrame(info.bounds);
    if (!now) continue;
    const auto known = displayContainingFrame(*window.lastKnownFrame);
    if (known && known->id == now->id) continue;
    window.lastKnownFrame = info.bounds;
  }
}

bool WindowManager::mayStayInStrip(const TrackedWindow& window,
                                   const std::unordered_set<WindowId>& onScreen) const {
  if (!window.isTileable || window.isFullScreen) return false;
  if (!onScreen.contains(window.id()) || table_.userFloating.contains(window.id())) return false;
  if (window.bundleID) {
    const auto& floating = settings_.floatingBundleIDs.value();
    if (std::find(floating.begin(), floating.end(), *window.bundleID) != floating.end()) {
      return false;
    }
  }
  return true;
}

void WindowManager::reconcileDisplay(DisplayState& display,
                                     const std::unordered_set<WindowId>& onScreen) {
  Strip& strip = currentStrip(display);
  const LayoutGeometry geometry = geometryFor(display);
  animatedMutation(display, [&](Strip& s) { s.enforceMinHeights(geometry); });

  auto belongsHere = [&](const Rect& frame) {
    auto holder = displayContainingFrame(frame);
    return holder && holder->id == display.info.id;
  };

  std::vector<WindowId> removed;
  const std::vector<WindowId> inStrip = strip.allWindows();
  // Asked of every known window below: a lookup, not a walk of the strip.
  const std::unordered_set<WindowId> here(inStrip.begin(), inStrip.end());
  for (WindowId id : inStrip) {
    auto it = table_.windows.find(id);
    if (it == table_.windows.end() || !mayStayInStrip(it->second, onScreen)) {
      removed.push_back(id);
      continue;
    }
    const TrackedWindow& window = it->second;
    if (moved_.isOwed(id) || !window.lastKnownFrame) continue;
    if (!belongsHere(*window.lastKnownFrame)) removed.push_back(id);
  }

  std::vector<JoiningWindow> added;
  const bool dragging = pointer_.mouseDown && pointer_.mouseDragging;
  if (dragging) pointer_.joinAfterDrag = true;
  if (!dragging) {
    const auto actives = activeDisplays();
    for (const auto& entry : table_.windows) {
      const WindowId id = entry.first;
      const TrackedWindow& window = entry.second;
      if (here.contains(id) || !mayStayInStrip(window, onScreen)) continue;
      if (moved_.is(id, MovedState::restoring) || !window.lastKnownFrame) continue;
      // In another strip it stays in: one that the window has left for this
      // display gives it up in its own pass, whichever display goes first.
      const bool elsewhere = std::any_of(actives.begin(), actives.end(), [&](DisplayState* d) {
        const Strip* s = d->currentStrip();
        if (d == &display || !s || !s->contains(id)) return false;
        if (moved_.isOwed(id)) return true;
        const auto holder = displayContainingFrame(*window.lastKnownFrame);
        return holder && holder->id == d->info.id;
      });
      if (elsewhere || !belongsHere(*window.lastKnownFrame)) continue;
      added.push_back({id, *window.lastKnownFrame});
    }
    // Left to right as they stand on screen; the id only breaks ties, so the
    // order never depends on the table's hashing.
    std::sort(added.begin(), added.end(), [](const JoiningWindow& a, const JoiningWindow& b) {
      if (a.frame.minX() != b.frame.minX()) return a.frame.minX() < b.frame.minX();
      return a.window < b.window;
    });
  }

  if (removed.empty() && added.empty()) {
    startAnimator();
    return;
  }

  const bool wasEmpty = strip.empty();
  animatedMutation(display, [&](Strip& s) { syncStrip(display, s, removed, added, wasEmpty); });
  for (WindowId id : removed) {
    if (table_.windows.contains(id) && !activeDisplayHolding(id)) windowLeftStrip(id);
  }
  ensureFocusedVisible(display, !wasEmpty);
  startAnimator();
  scheduleSave();
  if (!added.empty()) {
    std::vector<WindowId> ids;
    for (const JoiningWindow& joining : added) ids.push_back(joining.window);
    // Applications often move a new window once more after opening it, and
    // the notification may not come: a moment later each new window is read
    // back, and written again only if it is not where it was put.
    ports_.dispatch.main()->asyncAfter(timing::kSecondLayoutPassSeconds,
                                       [weak = weak_from_this(), ids] {
                                         auto self = weak.lock();
                                         if (!self) return;
                                         for (WindowId id : ids) self->mover_->recheck(id);
                                         self->startAnimator();
                                       });
  }
}

void WindowManager::forget(WindowId id) {
  table_.windows.erase(id);
  overlays_->labelsChanged();
  table_.userFloating.erase(id);
  displays_.windowDisplays.erase(id);
  displays_.layoutFrames.erase(id);
  displays_.verifiedSizes.erase(id);
  moved_.release(id);
  pointer_.draggedWindows.erase(id);
  pointer_.heldForDrag.erase(id);
  external_.reasserts.erase(id);
  external_.movedWidthFollows.erase(id);
  if (focus_.actualFocusedWindow == id) focus_.actualFocusedWindow.reset();
  if (focus_.reportedFocusedWindow == id) focus_.reportedFocusedWindow.reset();
  if (auto it = external_.pending.find(id); it != external_.pending.end()) {
    it->second->cancel();
    external_.pending.erase(it);
  }
  if (removeFromStrips(id, [](const DisplayState&, const Strip&) { return true; })) {
    startAnimator();
  }
  for (auto& [displayId, display] : displays_.states) {
    for (auto& [space, strip] : display.strips) {
      strip.minHeights.erase(id);
      strip.preferredHeights.erase(id);
    }
  }
  auto held = mover_->lock();
  mover_->forget(held, id);
}

bool WindowManager::removeFromStrips(WindowId id, const StripFilter& leave) {
  bool left = false;
  for (auto& [displayId, display] : displays_.states) {
    for (auto& [space, strip] : display.strips) {
      if (strip.contains(id) && leave(display, strip)) {
        strip.remove(id);
        left = true;
      }
    }
  }
  return left;
}

void WindowManager::leaveHiddenStrips(WindowId id) {
  const bool left = removeFromStrips(id, [](const DisplayState& display, const Strip& strip) {
    return !display.isActive() || display.currentStrip() != &strip;
  });
  if (left && moved_.isOwed(id)) restoreWindows({id}, nullptr);
}

void WindowManager::windowLeftStrip(WindowId id) {
  displays_.layoutFrames.erase(id);
  if (moved_.isOwed(id)) restoreWindows({id}, nullptr);
}

void WindowManager::scheduleExternalCheck(WindowId id) {
  if (auto it = external_.pending.find(id); it != external_.pending.end()) it->second->cancel();
  external_.pending[id] = ports_.dispatch.main()->asyncAfterCancellable(
      timing::kExternalCheckSeconds, [weak = weak_from_this(), id] {
        if (auto self = weak.lock()) self->externalCheck(id);
      });
}

void WindowManager::externalCheck(WindowId id) {
  external_.pending.erase(id);
  if (!running_) return;  // a stopped manager leaves windows where they are
  auto it = table_.windows.find(id);
  if (it == table_.windows.end() || !activeDisplayHolding(id)) return;
  if (animator_.isRunning() || pointer_.interactiveScroll || pointer_.mouseDragging ||
      pointer_.heldForDrag.contains(id)) {
    scheduleExternalCheck(id);
    return;
  }
  bool pending = false;
  std::optional<Rect> applied;
  {
    auto held = mover_->lock();
    pending = mover_->hasPending(held, id);
    applied = mover_->appliedFrame(held, id);
  }
  // A frame still on its way: judge the window once it has been written.
  if (pending) {
    scheduleExternalCheck(id);
    return;
  }
  // A window the mover gave up on (its application dropped every write) has
  // no frame applied; it is judged against its laid-out frame, so that a move
  // to another display is still followed.
  std::optional<Rect> expected = applied;
  if (!expected) {
    auto laid = displays_.layoutFrames.find(id);
    if (laid == displays_.layoutFrames.end()) return;
    expected = laid->second;
  }
  onAppQueue(it->second.pid(),
             [element = it->second.handle->element, id, expected = *expected,
              applied](Accessibility& ax) -> AppReply {
               auto actual = readFrame(ax, element);
               return [id, expected, applied, actual](WindowManager& self) {
                 self.finishExternalCheck(id, expected, applied, actual);
               };
             });
}

void WindowManager::finishExternalCheck(WindowId id, Rect expected,
                                        std::optional<Rect> appliedBefore,
                                        std::optional<Rect> actual) {
  if (!running_) return;
  {
    // Something written meanwhile makes this read out of date.
    auto held = mover_->lock();
    if (mover_->appliedFrame(held, id) != appliedBefore) return;
  }
  DisplayState* display = activeDisplayHolding(id);
  auto window = table_.windows.find(id);
  if (!display || !actual || window == table_.windows.end()) return;
  Strip& strip = currentStrip(*display);
  const auto columnIndex = strip.columnIndexOf(id);
  if (!columnIndex) return;

  constexpr double tol = timing::kExternalTolerancePoints;
  const bool moved = std::fabs(actual->minX() - expected.minX()) > tol ||
                     std::fabs(actual->minY() - expected.minY()) > tol;
  // In a stack, the size a window took when it was last written, read back
  // then, is no news: taking it as the column's new width would hand the
  // width back and forth between two windows whose limits leave none for
  // both. (A window alone in its column gives the column the width it takes,
  // as a terminal does that keeps to whole character cells.)
  Size seen = actual->size;
  if (auto took = displays_.verifiedSizes.find(id);
      strip.columns[*columnIndex].count() >= 2 && took != displays_.verifiedSizes.end() &&
      std::fabs(took->second.width - seen.width) <= tol &&
      std::fabs(took->second.height - seen.height) <= tol) {
    seen = expected.size;
  }
  const bool widthChanged = std::fabs(seen.width - expected.width()) > tol;
  const bool resized = widthChanged || std::fabs(seen.height - expected.height()) > tol;
  const bool shrunk = seen.width < expected.width() - tol || seen.height < expected.height() - tol;

  auto& record = external_.reasserts[id];
  // A fight is over once the application has left the window alone for a
  // while: a move long after it is a new one, and gets its put-backs again.
  const double now = ports_.dispatch.mediaTime();
  if (record.count > 0 && now - record.time > timing::kFightMemorySeconds) record = {};
  // A fighting application puts its window back in one place; a move
  // anywhere else (a user's, or the application's next idea) is a new one.
  // An application that keeps its window where it is but takes the sizes
  // written to it can make the same spot lie mostly on one display at one
  // strip's width and on the other at the other's: following it is part of
  // the same fight, so it cannot go back and forth for ever.
  const bool samePlace = std::fabs(actual->minX() - record.theirs.minX()) <= tol &&
                         std::fabs(actual->minY() - record.theirs.minY()) <= tol;
  const bool sameSize = std::fabs(actual->width() - record.theirs.width()) <= tol &&
                        std::fabs(actual->height() - record.theirs.height()) <= tol;
  const bool sameFight = record.count > 0 && samePlace;
  auto follow = [&](DisplayState& target) {
    if (sameFight && record.count >= timing::kMaxReassertions) return;
    const auto fought = std::remove_reference_t<decltype(record)>{
        sameFight ? record.count + 1 : 1, *actual, now};
    moveWindowToDisplay(id, *display, target, *actual);
    external_.reasserts[id] = fought;
  };

  // A parked window is judged when it shows on its own display: the
  // application brought it into view. One that shares nothing with its own
  // display any more, or shows mostly on another, was put there by its
  // application or its user (the system nudges a parking frame, it never
  // takes the sliver away nor shows half the window), and follows it there
  // like a tiled window. Anywhere else, a parking frame nudged by the system
  // is no move to the other display. One that lies across both, less than
  // half of it on the other display, also shows on its own: it is judged
  // there and put back, not left across the edge out of its column.
  if (moved_.is(id, MovedState::parked)) {
    auto holder = displayContainingFrame(*actual);
    if (!moved || !holder) return;
    if (holder->id != display->info.id) {
      const double shownThere = actual->intersectionArea(holder->frame);
      const bool placedThere =
          shownThere > 0 && (!actual->intersects(display->info.frame) ||
                             shownThere >= actual->width() * actual->height() / 2);
      if (placedThere) {
        if (DisplayState* target = displayState(holder->id)) follow(*target);
        return;
      }
    }
  } else if (moved) {
    auto holder = displayContainingFrame(*actual);
    if (holder && holder->id != display->info.id) {
      if (DisplayState* target = displayState(holder->id)) {
        follow(*target);
        return;
      }
    }
  }

  const bool carousel = settings_.carouselMode.value();
  const bool reassert =
      moved || (resized && (!carousel || *columnIndex == strip.focusedIndex || shrunk));
  // Our own put-back is reported like any other move; finding the window
  // where it was put back (or where a later layout put it) ends no fight.
  if (!reassert) return;
  // An application that insists on a size of its own goes on with the same
  // fight wherever the column puts the window; two stacked windows whose
  // size limits leave no width for both would otherwise hand the column's
  // width back and forth for ever. A move that keeps the size written is
  // judged by its place alone.
  const bool insistsOnSize = resized && sameSize;
  if (record.count > 0 && !samePlace && !insistsOnSize) record = {};
  // Past this the application wins: fighting it forever would only flicker.
  if (record.count >= timing::kMaxReassertions) return;
  ++record.count;
  record.theirs = *actual;
  record.time = now;
  if (widthChanged && !carousel) adoptWidth(*display, *columnIndex, actual->width());
  dropMoverRecords(id);
  ensureFocusedVisible(*display, true);
  startAnimator();
  scheduleSave();
}

void WindowManager::moveWindowToDisplay(WindowId id, DisplayState& from, DisplayState& to,
                                        Rect frame) {
  Strip& source = currentStrip(from);
  if (to.isActive()) {
    if (auto height = source.preferredHeights.find(id); height != source.preferredHeights.end()) {
      currentStrip(to).preferredHeights[id] = height->second;
    }
  }
  animatedMutation(from, [id](Strip& s) { s.remove(id); });
  removeFromStrips(id, [](const DisplayState&, const Strip&) { return true; });
  {
    auto held = mover_->lock();
    mover_->cancel(held, id);
  }
  auto window = table_.windows.find(id);
  if (window != table_.windows.end()) window->second.lastKnownFrame = frame;
  displays_.windowDisplays[id] = to.info.id;
  displays_.layoutFrames.erase(id);
  displays_.verifiedSizes.erase(id);
  // The user took it there: the program owes it nothing until it is laid out.
  moved_.release(id);
  ensureFocusedVisible(from, true);
  startAnimator();
  scheduleSave();
  if (window != table_.windows.end()) scheduleRefresh(window->second.pid());
}

}  // namespace vistarail
