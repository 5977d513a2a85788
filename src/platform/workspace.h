#pragma once
// Running applications, the screens, the pointer and a few services of the
// desktop. Coordinates from here are in the screen API's space (origin at the
// bottom-left of the primary display, y up); convert with flipVertically.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "base/signal.h"
#include "platform/canvas.h"

namespace vistarail {

enum class ActivationPolicy { regular, accessory, prohibited };

struct RunningApplication {
  Pid pid = 0;
  std::string bundleIdentifier;  // empty when the application has none
  std::string localizedName;
  ActivationPolicy activationPolicy = ActivationPolicy::regular;
  bool isTerminated = false;
  bool isHidden = false;
  std::string bundlePath;
  friend bool operator==(const RunningApplication&, const RunningApplication&) = default;
};

struct ScreenInfo {
  // "NSScreenNumber" of the device description; absent when unreadable.
  std::optional<DisplayNumber> screenNumber;
  std::string localizedName;
  Rect frame;         // screen-API space
  Rect visibleFrame;  // without menu bar and Dock, screen-API space
  friend bool operator==(const ScreenInfo&, const ScreenInfo&) = default;
};

struct OSVersion {
  int major = 0;
  int minor = 0;
  int patch = 0;
  friend bool operator==(const OSVersion&, const OSVersion&) = default;
};

enum class WorkspaceEvent {
  didLaunchApplication,
  didTerminateApplication,
  didActivateApplication,
  didHideApplication,
  didUnhideApplication,
  activeSpaceDidChange,
};

class Workspace {
 public:
  virtual ~Workspace() = default;

  virtual std::vector<RunningApplication> runningApplications() = 0;
  virtual std::optional<RunningApplication> frontmostApplication() = 0;

  // Delivered on the main queue. The application is absent for Space changes
  // (and for any notification that carries none).
  using WorkspaceHandler =
      std::function<void(WorkspaceEvent, const std::optional<RunningApplication>&)>;
  [[nodiscard]] virtual Subscription observe(WorkspaceHandler handler) = 0;

  // The screen list, primary first; empty when no display is attached.
  virtual std::vector<ScreenInfo> screens() = 0;
  // Delivered on the main queue after the screen configuration changed.
  [[nodiscard]] virtual Subscription observeScreenParameters(std::function<void()> handler) = 0;

  // The pointer, screen-API space.
  virtual Point pointerLocation() = 0;
  // Opens a URL (a System Settings deep link, a web page); false if refused.
  virtual bool openURL(const std::string& url) = 0;
  virtual OSVersion operatingSystemVersion() = 0;

  // The running application's icon (the generic application icon when it has
  // none of its own); null when no application runs under the pid.
  virtual ImageRef runningApplicationIcon(Pid pid) = 0;
  // Where the system finds the application with the bundle identifier,
  // running or not; absent when it knows none.
  virtual std::optional<std::string> urlForApplication(const std::string& bundleIdentifier) = 0;
  // The icon the Finder shows for the file or bundle at the path.
  virtual ImageRef iconForFile(const std::string& path) = 0;
};

}  // namespace vistarail
