#pragma once
// The connected displays, the Space each one shows, and which display a window
// belongs to.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "platform/window_server.h"
#include "platform/workspace.h"

namespace vistarail {

struct DisplayInfo {
  std::string id;  // the display's UUID in lower case: stable across reconnection
  DisplayNumber displayID = 0;
  std::string name;
  Rect frame;         // whole display, top-left space
  Rect visibleFrame;  // without menu bar and Dock: the strip's layout area
  bool isPrimary = false;

  // The screens in the system's order; a screen whose number or UUID cannot be
  // read is left out. Rectangles are converted from the screen API's space
  // against the first screen's height.
  static std::vector<DisplayInfo> all(Workspace& workspace, WindowServer& windowServer);

  friend bool operator==(const DisplayInfo&, const DisplayInfo&) = default;
};

// The display a rectangle belongs to: the largest overlap, then the frame
// nearest its centre, then the earlier display. A rectangle off every display
// belongs to the nearest one. Absent for a null or infinite rectangle or an
// empty list.
std::optional<DisplayInfo> displayContaining(const Rect& rect,
                                             std::span<const DisplayInfo> displays);

using SpaceId64 = int64_t;

struct SpaceInfo {
  SpaceId64 id = 0;  // 0 when unknown
  bool isFullscreen = false;
  friend bool operator==(const SpaceInfo&, const SpaceInfo&) = default;
};

// Display id -> the Space it shows now. Every display is present; (0, false)
// when the window server's private Spaces query is missing or its answer does
// not name the display.
using SpaceMap = std::unordered_map<std::string, SpaceInfo>;
SpaceMap currentSpaces(WindowServer& windowServer, std::span<const DisplayInfo> displays);

// Display id -> every Space the window server lists for it, full-screen ones
// included. A display is missing when the answer does not describe it, or
// describes a Space whose number cannot be read: then nobody can say which
// Spaces are gone.
using SpaceLists = std::unordered_map<std::string, std::vector<SpaceId64>>;
SpaceLists listedSpaces(WindowServer& windowServer, std::span<const DisplayInfo> displays);

}  // namespace vistarail
