#pragma once
// The displays the program sees, from the X server's RandR monitors: each
// monitor's frame, the part of it docks and panels leave free (their struts),
// its refresh rate and a stable identifier. Pure: the caller reads the server.
//
// Coordinates: X measures from the root window's top-left corner; the
// program's global space from the primary display's top-left corner, and the
// screen API's from its bottom-left corner, y up. RootSpace converts.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "platform/workspace.h"

namespace vistarail::x11 {

struct MonitorRecord {
  std::string name;  // the monitor's name atom, e.g. "DP-1"
  uint32_t nameAtom = 0;
  Rect frame;  // root coordinates
  bool primary = false;
  double refreshRate = 0;  // Hz; 0 when unknown
};

// A dock's _NET_WM_STRUT_PARTIAL (or _NET_WM_STRUT, zero-filled): how far it
// reserves from each edge of the root window, and along which span.
struct Strut {
  double left = 0, right = 0, top = 0, bottom = 0;
  double leftStartY = 0, leftEndY = 0, rightStartY = 0, rightEndY = 0;
  double topStartX = 0, topEndX = 0, bottomStartX = 0, bottomEndX = 0;
};
// Twelve CARDINALs (partial) or four (the old property, spanning the whole
// edge); anything else is absent.
std::optional<Strut> strutFromProperty(const std::vector<long>& values, Size root);

// Root coordinates against the program's global space.
struct RootSpace {
  Point origin{};  // the primary display's top-left in root coordinates
  Point toGlobal(Point root) const { return {root.x - origin.x, root.y - origin.y}; }
  Point toRoot(Point global) const { return {global.x + origin.x, global.y + origin.y}; }
  Rect toGlobal(const Rect& root) const { return Rect(toGlobal(root.origin), root.size); }
  Rect toRoot(const Rect& global) const { return Rect(toRoot(global.origin), global.size); }
};

struct DisplayRecord {
  ScreenInfo screen;  // screen-API space, as the workspace port reports screens
  Rect frame;         // global space
  Rect visibleFrame;  // global space
  std::string uuid;
  double refreshRate = 60;
};

// Displays, primary first (else the monitor at the root's origin, else the
// first), then in the server's order. Without any monitor the whole root is
// one display. Monitors of zero size are left out; a monitor that repeats
// another's frame (a mirror) is listed once.
std::vector<DisplayRecord> displaysFromMonitors(std::vector<MonitorRecord> monitors,
                                                const std::vector<Strut>& struts, Size root,
                                                RootSpace& space);

}  // namespace vistarail::x11
