#pragma once
// The world's state and the steps that change it, shared by World and its
// three adapters. Every function here that takes a WorldCore& expects its
// mutex to be held; what a step wants to tell others (notifications, the
// world's own delayed work) goes into an Outbox that is handed out once the
// lock is released.

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/accessibility.h"
#include "platform/dispatch.h"
#include "platform/event_taps.h"
#include "platform/hot_keys.h"
#include "platform/sim/world/rng.h"
#include "platform/sim/world/sim_element.h"
#include "platform/sim/world/world_types.h"
#include "platform/workspace.h"

namespace vistarail::sim {

struct ObserverRecord {
  std::weak_ptr<const SimObserverHandle> handle;
  Pid pid = 0;
  AXObserverCallback callback;
  bool attached = false;
  std::set<std::pair<ElementRef, std::string>> registrations;
};

// One piece of news for the main queue, in the order it happened.
struct Note {
  enum class Kind { accessibility, workspace, screens };
  Kind kind = Kind::accessibility;
  // accessibility
  uint64_t observerId = 0;
  std::shared_ptr<const SimObserverHandle> observer;
  AXObserverCallback callback;
  ElementRef element;
  std::string name;
  // workspace and screens: the subscribers at the time it happened
  std::vector<uint64_t> subscribers;
  WorkspaceEvent event = WorkspaceEvent::didLaunchApplication;
  std::optional<RunningApplication> app;
};

struct SelfMoveTask {
  WindowKey window = 0;
  double delaySeconds = 0;
  Rect frame;
};

struct WorldCore;
struct Outbox;

// A step of the world to run later, at its own virtual time on the world's
// queue (a write landing, an animation frame, a late activation). It runs
// under the lock and finds what it changes again, since it may be gone.
struct LaterStep {
  double delaySeconds = 0;
  std::function<void(WorldCore&, Outbox&)> run;
};

struct Outbox {
  std::vector<Note> notes;
  std::vector<SelfMoveTask> selfMoves;
  std::vector<LaterStep> later;
};

// A window gliding to a written frame (Realism::enhancedUIAnimationSeconds).
struct FrameAnimation {
  uint64_t generation = 0;
  Rect target;
};

// Which fault kind a messaging call is subject to.
FaultOn faultKind(AXCallKind kind);
// The first fault of the behaviour aimed at calls of kind `on` (or at any
// call) and at `name` (or at every name), used up by one; none if no fault
// matches.
std::optional<AXError> takeFault(Behaviour& behaviour, FaultOn on, std::string_view name);

struct CallOutcome {
  AXError error = AXError::success;
  std::optional<AXValue> value;
};

// A tap as the world sees it: shared with the adapter's handle, which the
// world holds weakly, so a released tap hears nothing more.
struct TapState {
  uint64_t id = 0;
  TapSpec spec;
  EventTaps::Callback callback;
  std::atomic<bool> enabled{true};
};

struct WorldCore : std::enable_shared_from_this<WorldCore> {
  WorldCore(Dispatch& dispatch, uint64_t seed);

  Dispatch& dispatch;
  QueueRef appQueue;  // where applications do their own delayed work
  mutable std::mutex mutex;

  // --- Everything below is guarded by mutex. ---
  double nowSeconds = 0;             // virtual time of the step under way
  std::vector<SimDisplay> displays;  // connected ones in screen order, then the rest
  std::map<Pid, SimApp> apps;
  std::vector<Pid> launchOrder;
  std::map<WindowKey, SimWindow> windows;  // open windows only
  // Open windows and ordered-in panels, front first; a key in panels is a
  // panel, every other key a window.
  std::vector<WindowKey> zOrder;
  std::map<WindowKey, SimPanel> panels;  // the program's own, ordered in or out
  std::optional<Pid> frontmost;
  Point pointer;
  Rng rng;

  bool trusted = true;
  int trustPrompts = 0;
  bool windowNumberLookup = true;
  double systemTimeoutSeconds = 0;  // 0: the platform default
  std::map<uint64_t, ObserverRecord> observers;
  uint64_t nextObserverId = 1;

  WindowServerConfig windowServer;
  Realism realism;
  std::map<WindowKey, FrameAnimation> animations;
  uint64_t nextAnimation = 1;
  // Accessibility notifications handed out and not yet delivered (observer,
  // element, name), for merging; and when each observer's last one lands,
  // so that delays never reorder what one observer hears.
  std::set<std::tuple<uint64_t, ElementRef, std::string>> undelivered;
  std::map<uint64_t, double> observerBusyUntil;

  std::map<uint64_t, std::function<void(WorkspaceEvent, const std::optional<RunningApplication>&)>>
      workspaceSubscribers;
  std::map<uint64_t, std::function<void()>> screenSubscribers;
  uint64_t nextSubscriberId = 1;
  bool openURLAnswer = true;
  std::vector<std::string> openedURLs;
  OSVersion osVersion{14, 6, 1};

  // --- The user's hands (world_input.cpp) ---
  std::vector<std::weak_ptr<TapState>> taps;  // creation order
  uint64_t nextTapId = 1;
  int listenTapFailures = 0;  // creations still to refuse; negative: all
  int activeTapFailures = 0;
  bool buttonDown = false;
  HotKeyService::Handler hotKeyHandler;
  std::map<HotKeyRef, HotKeyRecord> hotKeys;
  HotKeyRef nextHotKeyRef = 1;
  std::set<std::pair<uint32_t, uint32_t>> hotKeysHeldElsewhere;

  std::deque<AXCall> calls;
  bool tracing = false;
  std::vector<std::string> traceLines;
  size_t droppedTraceLines = 0;

  Pid nextPid = 501;
  WindowKey nextWindowKey = 1;
  WindowId nextWindowNumber = 101;
  SpaceId nextSpaceId = 1;
  DisplayNumber nextDisplayNumber = 1;

  // Takes the lock for one step, then hands out what the step produced.
  bool step(const std::function<bool(Outbox&)>& body);
  void deliver(Outbox& out);
  // When an accessibility notification reaches its observer, after
  // Realism::notifications: seconds from now, or negative when it is lost or
  // merged into one still on its way (lock held).
  double notificationDelay(const Note& note, double now);

  // A messaging call to the application of target: spends its latency (or
  // the time-out) outside the lock, then runs op under the lock unless the
  // application is hung or gone, the element is stale or a fault fires.
  CallOutcome message(const ElementRef& target, AXCallKind kind, std::string_view name,
                      const AXValue* written, const std::function<CallOutcome(Outbox&)>& op);

  // --- Lookups (lock held). ---
  SimApp* runningApp(Pid pid);
  const SimApp* runningApp(Pid pid) const;
  SimWindow* findWindow(WindowKey key);
  const SimWindow* findWindow(WindowKey key) const;
  SimPanel* findPanel(WindowKey key);
  SimDisplay* findDisplay(DisplayNumber number);
  const SimDisplay* primaryDisplay() const;
  std::vector<const SimDisplay*> connectedDisplays() const;
  SimDisplay* displayOfSpace(SpaceId space);
  const SimDisplay* displayOfSpace(SpaceId space) const;
  // The connected display a rectangle belongs to: the largest overlap, then
  // the nearest centre, then the earlier display.
  SimDisplay* displayForRect(const Rect& rect);
  bool isSpaceCurrent(SpaceId space) const;
  // Whether the window's Space is shown now: its own Space, or for a window
  // on all Spaces whichever regular Space its display shows.
  bool isShownOnCurrentSpace(const SimWindow& window) const;
  // The display whose Spaces hold windows placed on `display`: itself, or
  // the primary display when displays share one set of Spaces.
  SimDisplay* spaceHolder(SimDisplay* display);
  // Where a window that comes to `display` goes: the Space it shows, or the
  // regular Space beneath it when that is a full-screen Space, which belongs
  // to its one window.
  static SpaceId spaceForNewWindow(const SimDisplay& display);
  // Ordered in on a current Space: what option 17 lists.
  bool isOnScreen(const SimWindow& window) const;
  bool elementExists(const ElementRef& ref) const;
  Behaviour* behaviourFor(const ElementRef& ref);
  double messagingTimeout(const SimApp& app) const;
  RunningApplication runningApplication(const SimApp& app) const;
  std::vector<WindowKey> appWindowsFrontToBack(Pid pid) const;

  // --- Records (lock held). ---
  void traceLine(const std::string& text);
  void recordCall(AXCall call);

  // --- Emitting (lock held). ---
  void emit(Outbox& out, const ElementRef& element, const std::string& name);
  void emitWorkspace(Outbox& out, WorkspaceEvent event, std::optional<RunningApplication> app);
  void emitScreens(Outbox& out);
};

// --- Steps shared by user actions and accessibility writes (lock held). ---
namespace step {

Size applySizeLimits(const SimWindow& window, const Behaviour& behaviour, Size size);
// How much of a window the window server leaves on a display when it is
// placed wholly outside every display: far more than the one-point sliver of
// a parked window, so a parking bug that loses the sliver shows.
inline constexpr double kPulledBackPoints = 40;

// Changes a window's frame, within the window server's constraints (see
// world_steps.cpp: no window wholly off every display, no top edge above the
// menu bar), and emits moved/resized for what changed. A window that lands
// mostly on another display joins that display's current Space.
void setFrame(WorldCore& core, SimWindow& window, const Rect& frame, Outbox& out);
// An accessibility write of the window's position and/or size (limits
// already applied to the size): lands now or at the end of the call, at once
// or gliding (world_frames.cpp, after Realism).
void writeFrame(WorldCore& core, SimWindow& window, std::optional<Point> position,
                std::optional<Size> size, Outbox& out);
// A user or the application itself takes the window elsewhere: a glide under
// way stops where it is.
void stopAnimation(WorldCore& core, WindowKey window);
// An activation or focus change asked for through accessibility, run as
// FocusModel says: now, later, or not at all, perhaps followed by another
// application coming to the front.
void requestFocus(WorldCore& core, Outbox& out, std::function<void(WorldCore&, Outbox&)> change);
// The application moves or resizes its own window (size limits apply).
bool moveByApp(WorldCore& core, WindowKey window, const Rect& frame, Outbox& out);
void raise(WorldCore& core, WindowKey window);
// Makes the window its application's focused (and main) window and raises it.
void focusInApp(WorldCore& core, SimWindow& window, Outbox& out);
// Brings the application to the front, unhiding it.
void activate(WorldCore& core, Pid pid, Outbox& out);
void hide(WorldCore& core, SimApp& app, Outbox& out);
void unhide(WorldCore& core, SimApp& app, Outbox& out);
// After the focused window went away: the next visible window of the
// application takes focus, or none.
void refocusApp(WorldCore& core, SimApp& app, Outbox& out);
// After the frontmost application went away: the owner of the front-most
// visible window comes to the front, or none.
void chooseFrontmost(WorldCore& core, Outbox& out);
void minimize(WorldCore& core, SimWindow& window, Outbox& out);
void unminimize(WorldCore& core, SimWindow& window, Outbox& out);
void close(WorldCore& core, WindowKey window, Outbox& out);
bool enterFullScreen(WorldCore& core, SimWindow& window, Outbox& out);
bool exitFullScreen(WorldCore& core, SimWindow& window, Outbox& out);

}  // namespace step

// Accessibility attribute semantics (lock held).
CallOutcome readAttribute(WorldCore& core, const ElementRef& ref, std::string_view attribute);
CallOutcome writeAttribute(WorldCore& core, const ElementRef& ref, std::string_view attribute,
                           const AXValue& value, Outbox& out);
CallOutcome attributeSettable(WorldCore& core, const ElementRef& ref, std::string_view attribute);
CallOutcome performElementAction(WorldCore& core, const ElementRef& ref, std::string_view action,
                                 Outbox& out);

std::string formatValue(const AXValue& value);
std::string formatRect(const Rect& rect);

}  // namespace vistarail::sim
