#pragma once
// The window server's window list, as property lists, turned into the port's
// records. Each entry of the list is a dictionary keyed by the window-list key
// constants, whose string values are their own names ("kCGWindowNumber", ...).

#include <vector>

#include "platform/property_list.h"
#include "platform/window_server.h"

namespace vistarail::macos {

namespace window_keys {
inline constexpr const char* kNumber = "kCGWindowNumber";
inline constexpr const char* kOwnerPid = "kCGWindowOwnerPID";
inline constexpr const char* kOwnerName = "kCGWindowOwnerName";
inline constexpr const char* kName = "kCGWindowName";
inline constexpr const char* kBounds = "kCGWindowBounds";
inline constexpr const char* kLayer = "kCGWindowLayer";
inline constexpr const char* kIsOnscreen = "kCGWindowIsOnscreen";
}  // namespace window_keys

// One record per entry that names a window (a number in 1...2^32-1) and an
// owner (a pid in the process-id range); anything else is left out rather
// than reported as window 0. Names absent (no screen-recording permission)
// read as empty; bounds are the window server's, top-left space, as they
// come. Not a list: no windows.
std::vector<WindowInfo> windowInfosFromList(const PropertyList& list);

}  // namespace vistarail::macos
