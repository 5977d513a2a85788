#pragma once
// The checklist of system settings under which the strip works best. A few
// rows are measured (Accessibility trust, where the application runs from,
// other window managers, how the displays sit); the others remind the user of
// a setting the program cannot read and open the right pane of System
// Settings. The list is rebuilt from scratch each time; nothing is cached.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/workspace.h"
#include "windows/display_info.h"

namespace vistarail {

struct SetupCheck {
  enum class State { ok, warning, info };

  std::string id;
  std::string title;
  std::string detail;
  State state = State::info;
  std::optional<std::string> fixTitle;
  std::optional<std::string> fixURL;

  // A row shows its button only with both a title and a URL.
  bool hasFix() const { return fixTitle && fixURL; }
  friend bool operator==(const SetupCheck&, const SetupCheck&) = default;
};

// What the measured rows read from the system, gathered at one instant.
struct SetupFacts {
  bool trusted = false;
  std::string bundlePath;
  std::string homeDirectory;
  std::vector<std::string> runningBundleIDs;  // applications without one are left out
  std::vector<DisplayInfo> displays;          // connected, top-left space
  std::vector<std::string> managedDisplayIDs;
  OSVersion osVersion;
};

struct ConflictingApplication {
  std::string_view bundleID;
  std::string_view name;
};

// Other window managers known to fight over the same windows.
std::span<const ConflictingApplication> conflictingApplications();

// Another display touches a side of the managed one (within 2 points) and
// their heights overlap, so windows scrolled past that side show on it.
bool sitsBeside(const Rect& other, const Rect& managed);

// The rows, in order, for the finger count the strip is swiped with.
std::vector<SetupCheck> currentChecks(int swipeFingers, const SetupFacts& facts);

// The rows that need the user to fix something.
int warningCount(std::span<const SetupCheck> checks);

namespace settings_url {
inline constexpr const char* kAccessibility =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
inline constexpr const char* kTrackpad =
    "x-apple.systempreferences:com.apple.Trackpad-Settings.extension";
inline constexpr const char* kDesktopAndDock =
    "x-apple.systempreferences:com.apple.Desktop-Settings.extension";
inline constexpr const char* kDisplays =
    "x-apple.systempreferences:com.apple.Displays-Settings.extension";
}  // namespace settings_url

}  // namespace vistarail
