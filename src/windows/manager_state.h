#pragma once
// The window manager's state, grouped by concern; all of it lives on the main
// queue (but for the focus generation, which application queues read). Each
// group is edited by the source file named beside it.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/geometry.h"
#include "base/signal.h"
#include "overlays/strip_snapshot.h"
#include "platform/dispatch.h"
#include "strip/carousel.h"
#include "strip/strip.h"
#include "windows/app_observer.h"
#include "windows/display_info.h"
#include "windows/tracked_window.h"

namespace vistarail {

// Per display ever seen; kept while it is unplugged so its strips come back.
struct DisplayState {
  DisplayInfo info;
  SpaceInfo space;                    // the Space shown now
  std::map<SpaceId64, Strip> strips;  // one per Space, created on first use
  bool isConnected = true;
  bool isManaged = false;
  // The screen edge the pointer rests on, which shows that edge's arrow.
  std::optional<EdgeSide> pointerEdge;

  // Connected, managed and not showing a full-screen Space.
  bool isActive() const { return isConnected && isManaged && !space.isFullscreen; }
  const Strip* currentStrip() const;
  Strip* currentStrip();
};

namespace manager {

// --- Window table and observers (discovery.cpp)
struct WindowTable {
  std::unordered_map<Pid, AppObserverRef> observers;
  std::unordered_set<Pid> trackingPIDs;
  std::unordered_map<WindowId, TrackedWindow> windows;
  std::unordered_map<Pid, std::vector<WindowId>> windowsByPID;
  std::unordered_set<WindowId> userFloating;
};
// --- Refresh pipeline (refresh.cpp)
// An application's scan under way, and whether another was asked for.
struct AppScan {
  bool running = false;
  bool again = false;
};
struct RefreshPipeline {
  std::unordered_map<Pid, AppScan> scans;
  // Looks owed to applications that did not answer, each waiting for the
  // recovery period (`askAgainLater`): one per kind and application.
  std::set<std::pair<int, Pid>> askAgain;
  std::set<Pid> dirtyPIDs;
  bool refreshAllPending = false;
  bool refreshScheduled = false;
  std::set<Pid> batchWaiting;
  WorkItemRef batchDeadline;
  bool reconcileScheduled = false;
  bool startupDone = false;
  std::set<Pid> startupPending;
};
// --- Displays and strips (displays.cpp, layout_pass.cpp)
struct Displays {
  std::map<std::string, DisplayState> states;
  std::vector<DisplayInfo> connected;  // system order
  std::unordered_map<WindowId, std::string> windowDisplays;
  std::unordered_map<WindowId, Rect> layoutFrames;
  VerifiedSizes verifiedSizes;
  WorkItemRef saveWork;
};
// --- Parking and recovery (layout_pass.cpp, recovery.cpp); each moved
// window's state is its record in `moved_`.
struct Parking {
  RepeatingTimerRef recoveryTimer;
};
// Where a restore brings a window: into `area` unless it already lies in
// one of `screens`.
struct RestoreTarget {
  std::vector<Rect> screens;
  Rect area;
};
// --- External changes to tiled windows (reconcile.cpp)
struct ExternalChecks {
  std::unordered_map<WindowId, WorkItemRef> pending;
  // Consecutive put-backs of a window, and where it was moved to before
  // the last one.
  struct Reassertions {
    int count = 0;
    Rect theirs;
    double time = 0;  // media time of the last put-back
  };
  std::unordered_map<WindowId, Reassertions> reasserts;
  // Layouts for the width of a window read back away from where it was
  // written (`theirs` unused).
  std::unordered_map<WindowId, Reassertions> movedWidthFollows;
};
// --- Focus (focus.cpp)
struct FocusState {
  struct Pending {
    WindowId id = 0;
    double deadline = 0;
  };
  struct Request {
    WindowId id = 0;
    double time = 0;
  };
  std::optional<Pending> pendingFocus;
  std::optional<Request> lastFocusRequest;
  std::unordered_map<WindowId, double> supersededFocus;
  std::optional<WindowId> unknownFocusedWindow;
  std::optional<WindowId> actualFocusedWindow;
  std::optional<WindowId> reportedFocusedWindow;
  // When a read of the focused window was last answered (media time).
  double lastAnsweredRead = -1;
};
// Read by application queues; hence shared and locked.
struct FocusGeneration {
  std::mutex lock;
  uint64_t value = 0;
};
// --- Mouse drag and interactive scroll: filled in by input; read here so
// that the reconcile and the layout already leave a dragged window alone.
struct PointerState {
  bool mouseDown = false;
  bool mouseDragging = false;
  Point pressPoint;
  std::optional<WindowId> pressWindow;
  std::unordered_set<WindowId> draggedWindows;
  std::unordered_set<WindowId> heldForDrag;
  // A reconcile met the button down and let no window join: the release
  // reconciles again, or a window opened mid-drag is never tiled.
  bool joinAfterDrag = false;
  bool interactiveScroll = false;
  std::optional<std::string> scrollingDisplayID;
  std::optional<std::string> gestureDisplayID;
  bool wheelScrollActive = false;
  // Media times; far in the past until the first wheel event.
  double lastWheelStep = -1e9;
  double lastWheelEvent = -1e9;
  double carouselSwipe = 0;
  bool carouselSwipeStepped = false;
};
// --- Lifecycle (lifecycle.cpp)
struct Lifecycle {
  std::vector<Subscription> subscriptions;  // settings, workspace, screens
  std::vector<std::string> lastFloatingApps;
  bool lastCarouselMode = false;
  double springStiffness = 0;
};

// scan.cpp
// A window the manager already knows, as a scan sees it: its number need
// not be looked up again, nor its settability asked once known.
struct KnownWindowRead {
  AXElement element;
  WindowId id = 0;
  bool settableKnown = false;
};
// A scan under way: the window list read, then the new windows one at a
// time. Touched by one step at a time, on the application's queue or the
// main queue, never both at once.
struct ScanWork {
  AppObserverRef observer;
  std::vector<KnownWindowRead> known;   // what the manager knew when it began
  bool answered = false;                // the list was read
  std::vector<KnownWindowRead> listed;  // the known ones still listed
  std::vector<AXElement> unread;        // the new ones, still to read
  std::vector<WindowSnapshot> snapshots;
};
// What a scan leaves for later: the new windows' notifications to register
// and the known windows to read again. Touched by one step at a time, on
// the application's queue or the main queue, never both at once.
struct FollowUp {
  AppObserverRef observer;
  std::vector<std::pair<AXElement, WindowId>> unwatched;
  std::vector<KnownWindowRead> known;
};

}  // namespace manager
}  // namespace vistarail
