#pragma once
// The window server: which windows are on screen, whether a window still
// exists, which Space each display shows, and display UUIDs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "platform/property_list.h"

namespace vistarail {

// Window-list options, with the platform's values.
namespace window_list {
inline constexpr uint32_t kOnScreenOnly = 1;
inline constexpr uint32_t kOnScreenAboveWindow = 2;
inline constexpr uint32_t kOnScreenBelowWindow = 4;
inline constexpr uint32_t kIncludingWindow = 8;
inline constexpr uint32_t kExcludeDesktopElements = 16;
// The two combinations the program uses.
inline constexpr uint32_t kOnScreenWindows = kOnScreenOnly | kExcludeDesktopElements;  // 17
inline constexpr uint32_t kSingleWindow = kIncludingWindow;                            // 8
}  // namespace window_list

// One entry of a window list (the platform's dictionary, with the keys the
// program reads).
struct WindowInfo {
  WindowId number = 0;  // kCGWindowNumber
  Pid ownerPid = 0;     // kCGWindowOwnerPID
  std::string ownerName;
  std::string name;
  Rect bounds;  // kCGWindowBounds, top-left space
  int layer = 0;
  bool isOnScreen = false;
  friend bool operator==(const WindowInfo&, const WindowInfo&) = default;
};

using SpaceConnection = int32_t;

// Keys of the managed-Spaces answer: an array with one dictionary per display,
// each naming its display and the Space it shows now.
namespace managed_spaces {
inline constexpr const char* kDisplayIdentifier = "Display Identifier";
inline constexpr const char* kCurrentSpace = "Current Space";
inline constexpr const char* kSpaces = "Spaces";
inline constexpr const char* kManagedSpaceId = "ManagedSpaceID";
inline constexpr const char* kId64 = "id64";
inline constexpr const char* kType = "type";
// The identifier some systems give the primary display instead of its UUID.
inline constexpr const char* kMainDisplay = "Main";
// The "type" of a Space that holds one full-screen window.
inline constexpr int kFullScreenType = 4;
}  // namespace managed_spaces

class WindowServer {
 public:
  virtual ~WindowServer() = default;

  // CGWindowListCopyWindowInfo(option, relativeTo). Option 17 lists the windows
  // of the current Spaces that are ordered in; option 8 with a window number
  // lists that window alone, or nothing when it no longer exists.
  virtual std::vector<WindowInfo> copyWindowInfo(uint32_t option, WindowId relativeTo) = 0;

  // The UUID of a display, as CFUUIDCreateString spells it (upper case);
  // absent when the display number is unknown.
  virtual std::optional<std::string> displayUUID(DisplayNumber display) = 0;

  // The private "CGSMainConnectionID"; absent when it cannot be found.
  virtual std::optional<SpaceConnection> mainConnectionID() = 0;
  // The private "CGSCopyManagedDisplaySpaces"; absent when it cannot be found
  // or returns nothing. Normally an array of per-display dictionaries, but
  // callers must check the shape.
  virtual std::optional<PropertyList> copyManagedDisplaySpaces(SpaceConnection connection) = 0;
};

}  // namespace vistarail
