#include "platform/sim/adapters/sim_window_server.h"

#include <algorithm>
#include <cctype>

#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

namespace {

std::string upperCase(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return s;
}

WindowInfo info(const WorldCore& core, const SimWindow& w) {
  WindowInfo i;
  i.number = w.number.value_or(0);
  i.ownerPid = w.pid;
  i.ownerName = core.apps.at(w.pid).name;
  i.name = w.title;
  i.bounds = w.frame;
  i.layer = 0;
  i.isOnScreen = core.isOnScreen(w);
  return i;
}

PropertyList spaceDictionary(const SimSpace& space, SpaceIdKeys keys) {
  PropertyList d = PropertyList::object();
  if (keys == SpaceIdKeys::both || keys == SpaceIdKeys::managedSpaceIdOnly) {
    d["ManagedSpaceID"] = space.id;
  }
  if (keys == SpaceIdKeys::both || keys == SpaceIdKeys::id64Only) d["id64"] = space.id;
  d["type"] = space.isFullScreen ? 4 : 0;
  return d;
}

PropertyList displayDictionary(const SimDisplay& display, const WindowServerConfig& config) {
  PropertyList d = PropertyList::object();
  switch (config.identifiers) {
    case DisplayIdentifierStyle::uuid:
      d["Display Identifier"] = upperCase(display.uuid);
      break;
    case DisplayIdentifierStyle::mainForPrimary:
      d["Display Identifier"] = display.isPrimary ? std::string("Main") : upperCase(display.uuid);
      break;
    case DisplayIdentifierStyle::unrecognised:
      d["Display Identifier"] = "Unknown-" + std::to_string(display.number.value_or(0));
      break;
  }
  PropertyList spaces = PropertyList::array();
  for (const SimSpace& space : display.spaces) {
    spaces.push_back(spaceDictionary(space, config.spaceIdKeys));
    if (space.id == display.currentSpace) {
      d["Current Space"] = spaceDictionary(space, config.spaceIdKeys);
    }
  }
  d["Spaces"] = std::move(spaces);
  return d;
}

}  // namespace

SimWindowServer::SimWindowServer(World& world) : core_(world.core()) {}

std::vector<WindowInfo> SimWindowServer::copyWindowInfo(uint32_t option, WindowId relativeTo) {
  using namespace window_list;
  std::lock_guard lock(core_->mutex);
  const WorldCore& c = *core_;
  std::vector<WindowInfo> result;
  const bool onScreenOnly = option & kOnScreenOnly;
  const bool above = option & kOnScreenAboveWindow;
  const bool below = option & kOnScreenBelowWindow;
  const bool including = option & kIncludingWindow;
  // Windows without a window-server number are not the window server's.
  auto listed = [&](const SimWindow& w) { return w.number.value_or(0) != 0; };
  if (including && !above && !below && !onScreenOnly) {
    for (WindowKey key : c.zOrder) {
      if (!c.windows.contains(key)) continue;
      const SimWindow& w = c.windows.at(key);
      if (listed(w) && w.number == relativeTo) result.push_back(info(c, w));
    }
    return result;
  }
  // Front to back; "above" and "below" are relative to the reference window.
  const auto ref = std::find_if(c.zOrder.begin(), c.zOrder.end(), [&](WindowKey key) {
    return c.windows.contains(key) && c.windows.at(key).number == relativeTo && relativeTo != 0;
  });
  const bool relative = above || below;
  if (relative && ref == c.zOrder.end()) return result;
  for (auto it = c.zOrder.begin(); it != c.zOrder.end(); ++it) {
    // The program's own panels are left out of the lists it reads.
    if (!c.windows.contains(*it)) continue;
    const SimWindow& w = c.windows.at(*it);
    if (!listed(w)) continue;
    const bool isRef = relative && it == ref;
    if (relative && !isRef) {
      const bool isAbove = it < ref;
      if ((isAbove && !above) || (!isAbove && !below)) continue;
    }
    if (isRef && !including) continue;
    const bool onScreen = c.isOnScreen(w);
    if ((onScreenOnly || relative) && !onScreen && !isRef) continue;
    // Without "on screen only", every window of a running application counts.
    if (!c.runningApp(w.pid)) continue;
    result.push_back(info(c, w));
  }
  return result;
}

std::optional<std::string> SimWindowServer::displayUUID(DisplayNumber display) {
  std::lock_guard lock(core_->mutex);
  const SimDisplay* d = core_->findDisplay(display);
  if (!d || !d->isConnected) return std::nullopt;
  return upperCase(d->uuid);
}

std::optional<SpaceConnection> SimWindowServer::mainConnectionID() {
  std::lock_guard lock(core_->mutex);
  if (!core_->windowServer.connectionAvailable) return std::nullopt;
  return kConnection;
}

std::optional<PropertyList> SimWindowServer::copyManagedDisplaySpaces(SpaceConnection connection) {
  std::lock_guard lock(core_->mutex);
  const WindowServerConfig& config = core_->windowServer;
  if (!config.spacesAvailable || connection != kConnection) return std::nullopt;
  const auto displays = core_->connectedDisplays();
  if (core_->realism.displaysShareOneSpace && !displays.empty()) {
    // One set of Spaces for every display: one dictionary, named "Main".
    PropertyList main = displayDictionary(*displays.front(), config);
    main["Display Identifier"] = std::string("Main");
    if (config.shape == SpacesShape::notAnArray) return main;
    PropertyList list = PropertyList::array();
    list.push_back(std::move(main));
    return list;
  }
  switch (config.shape) {
    case SpacesShape::nothing:
      return std::nullopt;
    case SpacesShape::notAnArray:
      if (displays.empty()) return PropertyList::object();
      return displayDictionary(*displays.front(), config);
    case SpacesShape::onlyPrimary: {
      PropertyList list = PropertyList::array();
      if (!displays.empty()) list.push_back(displayDictionary(*displays.front(), config));
      return list;
    }
    case SpacesShape::perDisplay:
      break;
  }
  PropertyList list = PropertyList::array();
  for (const SimDisplay* d : displays) list.push_back(displayDictionary(*d, config));
  return list;
}

}  // namespace vistarail::sim
