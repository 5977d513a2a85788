// Displays and Spaces: which displays exist and are managed, the Space each
// shows, the strip of that Space, and saving strips.

#include <algorithm>
#include <cmath>
#include <set>

#include "strip/layout_store.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

namespace {

// Gaps are stored as the user typed them; a negative or non-finite one would
// push frames outside the area.
double saneGap(double gap) {
  return std::isfinite(gap) && gap > 0 ? gap : 0;
}

bool contains(const std::vector<std::string>& ids, const std::string& id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

void WindowManager::rebuildDisplays(const std::vector<DisplayInfo>& infos,
                                    std::optional<SpaceMap> spaces) {
  settings_.adoptInitialDisplay(infos.empty() ? std::nullopt
                                              : std::optional<std::string>(infos.front().id));
  std::vector<std::string> before;
  for (DisplayState* display : managedDisplays()) before.push_back(display->info.id);
  const auto& managedIDs = settings_.managedDisplayIDs.value();
  std::vector<std::string> after;
  for (const DisplayInfo& info : infos) {
    if (contains(managedIDs, info.id) && !contains(after, info.id)) after.push_back(info.id);
  }
  std::vector<std::string> leaving;
  for (const std::string& id : before) {
    if (!contains(after, id)) leaving.push_back(id);
  }
  // Save while the leaving display's strips still hold their windows.
  if (!leaving.empty()) saveLayouts();

  displays_.connected = infos;
  for (auto& [id, display] : displays_.states) display.isConnected = false;
  for (const DisplayInfo& info : infos) {
    auto [it, created] = displays_.states.try_emplace(info.id);
    it->second.info = info;
    it->second.isConnected = true;
    it->second.isManaged = contains(after, info.id);
  }
  for (auto& [id, display] : displays_.states) {
    if (!display.isConnected || !display.isManaged) overlays_->hide(display);
  }

  const bool primaryConnected =
      std::any_of(infos.begin(), infos.end(), [](const DisplayInfo& d) { return d.isPrimary; });
  if (primaryConnected && defaults_.object(kLegacyLayoutKey)) saveLayouts();

  if (pointer_.scrollingDisplayID && !contains(after, *pointer_.scrollingDisplayID)) {
    cancelInteractiveScroll();
  }
  refreshSpaces(std::move(spaces));

  std::vector<WindowId> released;
  for (const auto& [window, displayId] : displays_.windowDisplays) {
    if (contains(leaving, displayId)) released.push_back(window);
  }
  std::sort(released.begin(), released.end());
  if (focus_.pendingFocus &&
      std::find(released.begin(), released.end(), focus_.pendingFocus->id) != released.end()) {
    {
      std::lock_guard<std::mutex> guard(focusGeneration_->lock);
      ++focusGeneration_->value;
    }
    focus_.pendingFocus.reset();
    focus_.lastFocusRequest.reset();
    focus_.supersededFocus.clear();
  }
  for (WindowId id : released) {
    if (auto it = external_.pending.find(id); it != external_.pending.end()) {
      it->second->cancel();
      external_.pending.erase(it);
    }
    windowLeftStrip(id);
  }

  const bool managedSetChanged = std::set<std::string>(before.begin(), before.end()) !=
                                 std::set<std::string>(after.begin(), after.end());
  if (running_ && managedSetChanged) scheduleRefresh(std::nullopt);
  stateChanged();
}

void WindowManager::refreshSpaces(std::optional<SpaceMap> spaces) {
  const SpaceMap map =
      spaces ? std::move(*spaces) : currentSpaces(ports_.windowServer, displays_.connected);
  for (auto& [id, display] : displays_.states) {
    if (!display.isConnected) continue;
    auto it = map.find(id);
    const SpaceInfo space = it == map.end() ? SpaceInfo{} : it->second;
    if (space != display.space && pointer_.scrollingDisplayID == id) cancelInteractiveScroll();
    const bool wasActive = display.isActive();
    const bool sameSpace = space == display.space;
    display.space = space;
    // Moves made while the display showed another Space went unheard or were
    // set aside; coming back, each window is read again and judged as if it
    // had just been moved.
    if (display.isActive() && (!wasActive || !sameSpace)) {
      if (const Strip* strip = display.currentStrip()) {
        for (const Column& column : strip->columns) {
          for (WindowId window : column.windows) scheduleExternalCheck(window);
        }
      }
    }
  }
  syncInterception();
  syncHotKeys();
}

void WindowManager::screensChanged() {
  rebuildDisplays(DisplayInfo::all(ports_.workspace, ports_.windowServer), std::nullopt);
  dropAllMoverRecords();
  for (DisplayState* display : activeDisplays()) {
    currentStrip(*display).enforceMinHeights(geometryFor(*display));
    ensureFocusedVisible(*display, false);
    layout(*display);
  }
  scheduleRefresh(std::nullopt);
  stateChanged();
}

void WindowManager::cancelInteractiveScroll() {
  pointer_.interactiveScroll = false;
  pointer_.scrollingDisplayID.reset();
  pointer_.wheelScrollActive = false;
}

std::vector<DisplayState*> WindowManager::managedDisplays() {
  std::vector<DisplayState*> result;
  for (const DisplayInfo& info : displays_.connected) {
    auto it = displays_.states.find(info.id);
    if (it != displays_.states.end() && it->second.isManaged &&
        std::find(result.begin(), result.end(), &it->second) == result.end()) {
      result.push_back(&it->second);
    }
  }
  return result;
}

std::vector<DisplayState*> WindowManager::activeDisplays() {
  std::vector<DisplayState*> result;
  for (DisplayState* display : managedDisplays()) {
    if (display->isActive()) result.push_back(display);
  }
  return result;
}

bool WindowManager::anyActiveDisplay() const {
  return std::any_of(displays_.states.begin(), displays_.states.end(),
                     [](const auto& entry) { return entry.second.isActive(); });
}

std::vector<std::string> WindowManager::activeDisplayIDs() const {
  std::vector<std::string> ids;
  for (const DisplayInfo& info : displays_.connected) {
    auto it = displays_.states.find(info.id);
    if (it != displays_.states.end() && it->second.isActive() && !contains(ids, info.id)) {
      ids.push_back(info.id);
    }
  }
  return ids;
}

DisplayState* WindowManager::displayState(const std::string& id) {
  auto it = displays_.states.find(id);
  return it == displays_.states.end() ? nullptr : &it->second;
}

DisplayState* WindowManager::activeDisplayHolding(WindowId id) {
  for (DisplayState* display : activeDisplays()) {
    if (const Strip* strip = display->currentStrip(); strip && strip->contains(id)) return display;
  }
  return nullptr;
}

Strip& WindowManager::currentStrip(DisplayState& display) {
  auto it = display.strips.find(display.space.id);
  if (it != display.strips.end()) return it->second;
  Strip strip;
  std::vector<ConnectedDisplay> connected;
  for (const DisplayInfo& info : displays_.connected)
    connected.push_back({info.id, info.isPrimary});
  SavedLayouts saved = loadSavedLayouts(defaults_, connected);
  // A strip without a saved layout waits for an empty one, so that it is
  // first saved once a window has joined it: a display or Space that comes
  // and goes empty writes nothing (and cannot replace a stored value this
  // version could not read).
  auto entry = saved.find(stripKey(display.info.id, display.space.id));
  strip.pendingRestore = entry != saved.end() ? std::move(entry->second) : SavedStrip{};
  return display.strips.emplace(display.space.id, std::move(strip)).first->second;
}

LayoutGeometry WindowManager::geometryFor(const DisplayState& display) const {
  return {display.info.visibleFrame, saneGap(settings_.innerGap.value()),
          saneGap(settings_.outerGap.value())};
}

std::optional<DisplayInfo> WindowManager::displayContainingFrame(const Rect& frame) const {
  return displayContaining(frame, displays_.connected);
}

const DisplayInfo* WindowManager::displayOf(const TrackedWindow& window,
                                            std::span<const DisplayInfo> among) const {
  // Where its strip last laid it out says more than its frame, which is off
  // screen while it is parked.
  if (auto recorded = displays_.windowDisplays.find(window.id());
      recorded != displays_.windowDisplays.end()) {
    for (const DisplayInfo& info : among) {
      if (info.id == recorded->second) return &info;
    }
  }
  if (!window.lastKnownFrame) return nullptr;
  const auto holder = displayContaining(*window.lastKnownFrame, among);
  if (!holder) return nullptr;
  for (const DisplayInfo& info : among) {
    if (info.id == holder->id) return &info;
  }
  return nullptr;
}

void WindowManager::scheduleSave() {
  // One save a moment after the first change takes every change made
  // meanwhile. Putting it off at each change instead would never save while
  // changes keep coming (an application fighting its windows' places).
  if (displays_.saveWork && !displays_.saveWork->isCancelled()) return;
  displays_.saveWork = ports_.dispatch.main()->asyncAfterCancellable(
      timing::kSaveDelaySeconds, [weak = weak_from_this()] {
        if (auto self = weak.lock()) {
          self->displays_.saveWork.reset();
          self->saveLayouts();
        }
      });
}

void WindowManager::saveLayouts() {
  if (displays_.states.empty()) return;
  const SpaceLists spaces = listedSpaces(ports_.windowServer, displays_.connected);
  std::vector<ConnectedDisplay> connected;
  for (const DisplayInfo& info : displays_.connected) {
    auto listed = spaces.find(info.id);
    connected.push_back({info.id, info.isPrimary,
                         listed == spaces.end() ? std::nullopt : std::optional(listed->second)});
  }
  std::vector<StripToSave> strips;
  bool anythingToWrite = false;
  for (const auto& [id, display] : displays_.states) {
    for (const auto& [space, strip] : display.strips) {
      strips.push_back({id, space, &strip});
      anythingToWrite = anythingToWrite || !strip.pendingRestore;
    }
  }
  const bool migrating = std::any_of(connected.begin(), connected.end(),
                                     [](const ConnectedDisplay& d) { return d.isPrimary; }) &&
                         defaults_.object(kLegacyLayoutKey);
  // With no strip of ours to write, a save would only rewrite what it read:
  // a stored value it could not read would be replaced by an empty one.
  if (!anythingToWrite && !migrating) return;
  (void)vistarail::saveLayouts(defaults_, connected, strips);
}

}  // namespace vistarail
