#include "platform/x11/x_window_server.h"

#include <X11/Xatom.h>

#include "platform/x11/frame_geometry.h"

namespace vistarail::x11 {

namespace {
// Ids of full-screen Spaces, apart from the desktops' (numbered from 1).
constexpr int64_t kFullScreenSpaceBase = int64_t{1} << 40;
}  // namespace

std::optional<WindowInfo> XWindowServer::infoOf(Display* d, const ClientRecord& client) {
  XWindowAttributes attributes;
  Window child = None;
  int x = 0, y = 0;
  {
    ErrorTrap trap(d);
    if (!XGetWindowAttributes(d, client.window, &attributes) ||
        !XTranslateCoordinates(d, client.window, server_.root(), 0, 0, &x, &y, &child) ||
        trap.errorSoFar()) {
      return std::nullopt;
    }
  }
  const FrameExtents extents =
      extentsFromProperty(readCardinals(d, client.window, server_.atoms().netFrameExtents)
                              .value_or(std::vector<long>{}));
  WindowInfo info;
  info.number = static_cast<WindowId>(client.window);
  info.ownerPid = client.pid;
  info.ownerName = client.appName;
  info.name = readString(d, client.window, server_.atoms().netWmName, server_.atoms().utf8String)
                  .value_or("");
  info.bounds = desktop_.space().toGlobal(
      frameOfClient(Rect(x, y, attributes.width, attributes.height), extents));
  info.isOnScreen = attributes.map_state == IsViewable;
  return info;
}

std::vector<WindowInfo> XWindowServer::copyWindowInfo(uint32_t option, WindowId relativeTo) {
  Display* d = server_.connection();
  std::vector<WindowInfo> result;
  if (option & window_list::kIncludingWindow) {
    // The one window, whether or not the window manager lists it.
    ClientRecord record;
    if (auto known = desktop_.client(relativeTo)) {
      record = *known;
    } else if (auto read = readClientRecord(d, server_, relativeTo)) {
      record = *read;
    } else {
      return result;
    }
    if (auto info = infoOf(d, record)) result.push_back(*info);
    return result;
  }
  for (Window w : desktop_.stackingFrontToBack()) {
    const auto client = desktop_.client(w);
    if (!client || !client->listed) continue;
    auto info = infoOf(d, *client);
    if (!info) continue;
    if ((option & window_list::kOnScreenOnly) && !info->isOnScreen) continue;
    result.push_back(std::move(*info));
  }
  return result;
}

std::optional<std::string> XWindowServer::displayUUID(DisplayNumber display) {
  for (const DisplayRecord& d : desktop_.displays()) {
    if (d.screen.screenNumber == display) return d.uuid;
  }
  return std::nullopt;
}

std::optional<PropertyList> XWindowServer::copyManagedDisplaySpaces(SpaceConnection) {
  using namespace managed_spaces;
  Display* d = server_.connection();
  const int64_t desktop = desktop_.currentDesktop() + 1;
  // The monitor a full-screen active window covers shows a full-screen Space.
  std::optional<Rect> fullScreenFrame;
  const Window active = desktop_.activeWindow();
  if (active != None) {
    const auto states = readAtoms(d, active, server_.atoms().netWmState);
    const bool fullScreen =
        states && std::find(states->begin(), states->end(), server_.atoms().netWmStateFullscreen) !=
                      states->end();
    if (fullScreen) {
      ClientRecord fallback;
      fallback.window = active;
      if (auto info = infoOf(d, desktop_.client(active).value_or(fallback))) {
        fullScreenFrame = info->bounds;
      }
    }
  }
  PropertyList answer = PropertyList::array();
  for (const DisplayRecord& display : desktop_.displays()) {
    PropertyList space = PropertyList::object();
    const bool fullScreenHere =
        fullScreenFrame && display.frame.intersectionArea(*fullScreenFrame) >=
                               0.5 * display.frame.width() * display.frame.height();
    space[kManagedSpaceId] =
        fullScreenHere ? kFullScreenSpaceBase + static_cast<int64_t>(active) : desktop;
    space[kId64] = space[kManagedSpaceId];
    space[kType] = fullScreenHere ? kFullScreenType : 0;
    PropertyList entry = PropertyList::object();
    entry[kDisplayIdentifier] = display.uuid;
    entry[kCurrentSpace] = std::move(space);
    answer.push_back(std::move(entry));
  }
  return answer;
}

}  // namespace vistarail::x11
