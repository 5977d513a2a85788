// The user's hands: keys, the pointer and its button, scrolling and the
// trackpad, as the system routes them: through registered hot keys and event
// taps first, then to the application they were meant for.

#include <algorithm>
#include <cmath>

#include "platform/sim/world/world.h"
#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

namespace {

uint32_t hotKeyMask(uint64_t flags) {
  uint32_t mask = 0;
  if (flags & kEventFlagMaskShift) mask |= 0x200;
  if (flags & kEventFlagMaskControl) mask |= 0x1000;
  if (flags & kEventFlagMaskAlternate) mask |= 0x800;
  if (flags & kEventFlagMaskCommand) mask |= 0x100;
  return mask;
}

// Live taps that want the event type, head-inserted ones first (lock held).
std::vector<std::shared_ptr<TapState>> tapsFor(WorldCore& core, EventType type) {
  std::vector<std::shared_ptr<TapState>> head;
  std::vector<std::shared_ptr<TapState>> tail;
  std::erase_if(core.taps, [](const std::weak_ptr<TapState>& weak) { return weak.expired(); });
  const uint64_t bit = eventMaskBit(type);
  for (const auto& weak : core.taps) {
    auto tap = weak.lock();
    if (!tap || !(tap->spec.eventMask & bit)) continue;
    (tap->spec.placement == TapPlacement::headInsert ? head : tail).push_back(tap);
  }
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

// Listen-only taps hear an event on the main queue, where their run loop is;
// a tap released or disabled before then hears nothing.
void postToListeners(WorldCore& core, const std::vector<std::shared_ptr<TapState>>& taps,
                     const TapEvent& event) {
  for (const auto& tap : taps) {
    if (tap->spec.option != TapOption::listenOnly) continue;
    core.dispatch.main()->async([weak = std::weak_ptr<TapState>(tap), event] {
      auto live = weak.lock();
      if (live && live->enabled.load() && live->callback) live->callback(event);
    });
  }
}

// Active taps decide in order on the calling thread (the thread the event
// passes through); the first to swallow it ends its way.
bool passActiveTaps(const std::vector<std::shared_ptr<TapState>>& taps, const TapEvent& event) {
  for (const auto& tap : taps) {
    if (tap->spec.option != TapOption::active || !tap->enabled.load() || !tap->callback) continue;
    if (tap->callback(event) == TapResult::swallow) return false;
  }
  return true;
}

}  // namespace

void World::movePointer(Point location) {
  std::vector<std::shared_ptr<TapState>> taps;
  TapEvent event;
  {
    std::lock_guard lock(core_->mutex);
    core_->pointer = location;
    event.type = core_->buttonDown ? EventType::leftMouseDragged : EventType::mouseMoved;
    event.location = location;
    taps = tapsFor(*core_, event.type);
  }
  postToListeners(*core_, taps, event);
}

namespace {

// The button goes down or up at the location; the listening taps hear it.
void changeButton(WorldCore& core, bool down, Point location) {
  std::vector<std::shared_ptr<TapState>> taps;
  TapEvent event{.type = down ? EventType::leftMouseDown : EventType::leftMouseUp,
                 .location = location};
  {
    std::lock_guard lock(core.mutex);
    core.pointer = location;
    core.buttonDown = down;
    core.traceLine(down ? "user presses the button at " + std::to_string(location.x) + "," +
                              std::to_string(location.y)
                        : std::string("user releases the button"));
    taps = tapsFor(core, event.type);
  }
  postToListeners(core, taps, event);
}

}  // namespace

void World::pressButton(Point location) {
  changeButton(*core_, true, location);
}

void World::releaseButton(Point location) {
  changeButton(*core_, false, location);
}

void World::pressKey(uint32_t keyCode, uint64_t eventFlags) {
  const uint32_t mask = hotKeyMask(eventFlags);
  HotKeyService::Handler handler;
  std::optional<HotKeyID> id;
  {
    std::lock_guard lock(core_->mutex);
    for (const auto& [ref, record] : core_->hotKeys) {
      if (record.keyCode == keyCode && record.modifiers == mask) id = record.id;
    }
    if (id && core_->hotKeyHandler) {
      handler = core_->hotKeyHandler;
    } else if (core_->frontmost) {
      if (SimApp* app = core_->runningApp(*core_->frontmost)) {
        app->keysReceived.push_back({keyCode, mask});
      }
    }
  }
  if (handler) {
    core_->dispatch.main()->async([handler, id] { (void)handler(HotKeyEvent{id}); });
  }
}

bool World::scroll(const ScrollInput& input) {
  TapEvent event;
  event.type = EventType::scrollWheel;
  event.flags = input.flags;
  event.scroll = {.pointDeltaAxis1 = input.deltaY,
                  .pointDeltaAxis2 = input.deltaX,
                  .isContinuous = input.continuous ? 1 : 0,
                  .scrollPhase = input.phase,
                  .momentumPhase = input.momentumPhase};
  std::vector<std::shared_ptr<TapState>> taps;
  {
    std::lock_guard lock(core_->mutex);
    event.location = core_->pointer;
    taps = tapsFor(*core_, event.type);
  }
  if (!passActiveTaps(taps, event)) return false;
  postToListeners(*core_, taps, event);
  std::lock_guard lock(core_->mutex);
  for (WindowKey key : core_->zOrder) {
    const SimWindow* window = core_->findWindow(key);
    if (!window || !core_->isOnScreen(*window) || !window->frame.contains(event.location)) continue;
    if (SimApp* app = core_->runningApp(window->pid)) {
      ++app->scrollsReceived;
      return true;
    }
  }
  return false;
}

void World::touchPad(const GestureTouches& touches) {
  TapEvent event{.type = EventType::gesture};
  event.touches = touches;
  event.convertsToGesture = true;
  std::vector<std::shared_ptr<TapState>> taps;
  {
    std::lock_guard lock(core_->mutex);
    event.location = core_->pointer;
    taps = tapsFor(*core_, event.type);
  }
  postToListeners(*core_, taps, event);
}

bool World::handDrag(WindowKey key, Rect frame, int steps) {
  auto start = window(key);
  if (!start || start->fullScreen || start->minimized) return false;
  {
    // A hand grabs only a window it can see: not one on another Space.
    std::lock_guard lock(core_->mutex);
    const SimWindow* w = core_->findWindow(key);
    if (!w || !core_->isOnScreen(*w)) return false;
  }
  steps = std::max(steps, 1);
  const Rect from = start->frame;
  const bool resizing = std::abs(frame.width() - from.width()) > 0.5 ||
                        std::abs(frame.height() - from.height()) > 0.5;
  // The point of the window the hand holds, and where it ends up.
  Point grab{from.center().x, from.minY() + 10};
  Point release{frame.center().x, frame.minY() + 10};
  if (resizing) {
    const bool leftEdge = std::abs(frame.minX() - from.minX()) > 0.5;
    grab = {leftEdge ? from.minX() + 1 : from.maxX() - 1, from.center().y};
    release = {leftEdge ? frame.minX() + 1 : frame.maxX() - 1, frame.center().y};
  }
  pressButton(grab);
  constexpr double kStepSeconds = 1.0 / 60;
  for (int i = 1; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    auto mix = [t](double a, double b) { return a + (b - a) * t; };
    const Rect at{mix(from.minX(), frame.minX()), mix(from.minY(), frame.minY()),
                  mix(from.width(), frame.width()), mix(from.height(), frame.height())};
    const Point pointer{mix(grab.x, release.x), mix(grab.y, release.y)};
    schedule(kStepSeconds * i, [this, key, at, pointer] {
      movePointer(pointer);
      (void)dragWindow(key, at);
    });
  }
  schedule(kStepSeconds * (steps + 1), [this, release] { releaseButton(release); });
  return true;
}

void World::refuseTaps(TapOption option, int count) {
  std::lock_guard lock(core_->mutex);
  (option == TapOption::listenOnly ? core_->listenTapFailures : core_->activeTapFailures) = count;
}

void World::disableTaps(EventType reason) {
  std::vector<std::shared_ptr<TapState>> taps;
  {
    std::lock_guard lock(core_->mutex);
    for (const auto& weak : core_->taps) {
      if (auto tap = weak.lock()) taps.push_back(tap);
    }
  }
  // The system tells each tap on its own run loop; the active tap's thread is
  // the caller's here.
  for (const auto& tap : taps) {
    tap->enabled.store(false);
    const TapEvent event{.type = reason};
    if (tap->spec.option == TapOption::active) {
      if (tap->callback) (void)tap->callback(event);
    } else {
      core_->dispatch.main()->async([weak = std::weak_ptr<TapState>(tap), event] {
        if (auto live = weak.lock(); live && live->callback) (void)live->callback(event);
      });
    }
  }
}

void World::holdHotKeyElsewhere(uint32_t keyCode, uint32_t modifiers) {
  std::lock_guard lock(core_->mutex);
  core_->hotKeysHeldElsewhere.insert({keyCode, modifiers});
}

int World::liveTaps(TapOption option) const {
  std::lock_guard lock(core_->mutex);
  int n = 0;
  for (const auto& weak : core_->taps) {
    auto tap = weak.lock();
    n += tap && tap->enabled.load() && tap->spec.option == option;
  }
  return n;
}

std::vector<HotKeyRecord> World::hotKeys() const {
  std::lock_guard lock(core_->mutex);
  std::vector<HotKeyRecord> result;
  for (const auto& [ref, record] : core_->hotKeys) result.push_back(record);
  return result;
}

}  // namespace vistarail::sim
