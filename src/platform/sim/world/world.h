#pragma once
// The simulated macOS desktop: displays and their Spaces, applications and
// their windows, focus and the pointer. Three adapters answer the platform
// ports from it (SimAccessibility, SimWindowServer, SimWorkspace), and the
// methods below are what a user (or a test script) does to it.
//
//   sim::VirtualDispatch dispatch;
//   sim::World world(dispatch, /*seed=*/7);
//   world.plugDisplay({.name = "Built-in", .frame = {0, 0, 1728, 1117},
//                      .visibleFrame = {0, 37, 1728, 1000}});
//   Pid pid = world.launchApp({.bundleIdentifier = "com.example.editor", .name = "Editor"});
//   sim::WindowKey a = world.openWindow(pid, {.title = "One", .frame = {40, 60, 800, 600}});
//   sim::WindowKey b = world.openWindow(pid, {.title = "Two", .frame = {900, 60, 700, 600}});
//   world.setBehaviour(pid, {.latencySeconds = 0.02, .ignoresMoves = false});
//   world.editWindow(b, [](sim::SimWindow& w) { w.minSize = {500, 300}; });
//   sim::SimAccessibility ax(world);  sim::SimWindowServer ws(world);  sim::SimWorkspace wk(world);
//   dispatch.runUntilIdle();
//
// Threads: one mutex guards the whole world. Every adapter call and every user
// action takes it for its bookkeeping only; latency is spent, and
// notifications are handed to the main queue, after it is released. So the
// same world can be driven from several real threads (ThreadedDispatch).
//
// Notifications are emitted the way the system emits them: accessibility
// notifications go to attached observers registered for the element (or for
// its application element), workspace and screen notifications to their
// subscribers, all delivered on the main queue in the order they happened.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "platform/dispatch.h"
#include "platform/event_taps.h"
#include "platform/gesture.h"
#include "platform/sim/world/scene.h"
#include "platform/sim/world/world_types.h"
#include "platform/workspace.h"

namespace vistarail::sim {

struct WorldCore;

// One scroll-wheel event at the pointer: point deltas, and for a trackpad or
// smooth mouse its phases (a notched wheel has none).
struct ScrollInput {
  double deltaX = 0;
  double deltaY = 0;
  bool continuous = true;
  int64_t phase = 0;          // 1 began, 2 changed, 4 ended, 8 cancelled
  int64_t momentumPhase = 0;  // 0 none, 1 began, 2 continue, 3 ended
  uint64_t flags = 0;         // kEventFlagMask* bits held
};

// Whether a newly opened window becomes its application's focused window.
enum class WindowFocus { takesFocus, staysBehind };
// Whether a launched application comes to the front.
enum class LaunchActivation { activates, staysInBackground };

class World {
 public:
  // The dispatch runs the world's own delayed work (applications moving their
  // new windows) and receives the notifications for the main queue. The seed
  // drives every random choice the world makes.
  explicit World(Dispatch& dispatch, uint64_t seed = 1);
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // --- Displays and Spaces (user actions) ---
  // Connects a display (one with a known UUID comes back with its Spaces) and
  // returns its number. The first connected display is the primary one.
  DisplayNumber plugDisplay(DisplaySetup setup);
  // Windows on the display's Spaces move to the primary display.
  bool unplugDisplay(DisplayNumber display);
  // Rearranges a display (new frame and visible frame); the windows on its
  // Spaces move with it.
  bool setDisplayFrames(DisplayNumber display, Rect frame, Rect visibleFrame);
  // Adds a regular Space to the display; returns its id (0 if no such display).
  SpaceId addSpace(DisplayNumber display);
  bool switchSpace(DisplayNumber display, SpaceId space);

  // --- Applications (user actions) ---
  // Returns the pid (0 if the pid is already taken by a running application).
  Pid launchApp(AppSetup setup, LaunchActivation activation = LaunchActivation::staysInBackground);
  bool quitApp(Pid pid);
  bool hideApp(Pid pid);
  bool unhideApp(Pid pid);
  // Brings the application to the front (Dock click, application switcher).
  bool activateApp(Pid pid);

  // --- Windows (user and application actions) ---
  // Returns the new window's key, 0 when the application is not running.
  WindowKey openWindow(Pid pid, WindowSetup setup, WindowFocus focus = WindowFocus::takesFocus);
  bool closeWindow(WindowKey window);
  bool minimizeWindow(WindowKey window);
  bool unminimizeWindow(WindowKey window);
  // The user drags or resizes the window to a frame (size limits apply).
  bool dragWindow(WindowKey window, Rect frame);
  // The application moves or resizes its own window.
  bool appMovesWindow(WindowKey window, Rect frame);
  // A click on the window: its application comes to the front and the window
  // becomes its focused window.
  bool focusWindow(WindowKey window);
  bool setWindowTitle(WindowKey window, std::string title);
  bool enterFullScreen(WindowKey window);
  bool exitFullScreen(WindowKey window);
  // Top-left space. Taps hear a mouse-moved event (dragged while the button
  // is down).
  void movePointer(Point location);

  // --- The user's hands (world_input.cpp); locations in top-left space ---
  // A key press goes to the hot key registered for the combo, else to the
  // frontmost application (SimApp::keysReceived).
  void pressKey(uint32_t keyCode, uint64_t eventFlags);
  void pressButton(Point location);
  void releaseButton(Point location);
  // Passes the active taps, then reaches the application owning the topmost
  // window under the pointer (SimApp::scrollsReceived). Returns whether it
  // reached an application.
  bool scroll(const ScrollInput& input);
  // One trackpad gesture event with these touches.
  void touchPad(const GestureTouches& touches);
  // The user grabs the window's title bar (or, when its size changes, the
  // edge that moves) and drags it to `frame` in `steps` pointer movements
  // 1/60 s apart, then lets go. The window follows the pointer, with the
  // moved and resized notifications a real window sends.
  bool handDrag(WindowKey window, Rect frame, int steps = 6);
  // The next `count` tap creations of that kind fail (negative: every one
  // until called again with 0).
  void refuseTaps(TapOption option, int count);
  // The system turns every live tap off and tells it why.
  void disableTaps(EventType reason);
  // Another application owns the combo: registering it fails.
  void holdHotKeyElsewhere(uint32_t keyCode, uint32_t modifiers);
  int liveTaps(TapOption option) const;
  // Hot keys registered now, as (key code, modifier mask, id).
  std::vector<HotKeyRecord> hotKeys() const;

  // --- Scripted events ---
  // Runs the action (user actions, an application's own behaviour) after
  // delaySeconds on the world's own queue. In virtual time it takes effect at
  // that instant even while a slow call to an application is under way, so a
  // call that ends after a window closed fails as it would on the system.
  // Nothing runs once the world is gone.
  void schedule(double delaySeconds, std::function<void()> action);

  // --- Configuration (no notifications) ---
  bool setBehaviour(Pid pid, Behaviour behaviour);
  bool setWindowBehaviour(WindowKey window, std::optional<Behaviour> behaviour);
  // Changes attributes in place without notifying anybody. The function runs
  // under the world's lock and must not call back into the world.
  bool editWindow(WindowKey window, const std::function<void(SimWindow&)>& edit);
  bool editApp(Pid pid, const std::function<void(SimApp&)>& edit);
  void setTrusted(bool trusted);
  void setWindowNumberLookup(bool available);
  void setWindowServerConfig(WindowServerConfig config);
  void setOpenURLAnswer(bool accepted);
  void setOSVersion(OSVersion version);
  // How hard the system is (see Realism); everything off by default.
  void setRealism(Realism realism);
  Realism realism() const;

  // --- Queries ---
  std::vector<SimDisplay> displays() const;  // connected ones, primary first
  std::optional<SimDisplay> display(DisplayNumber display) const;
  std::vector<SimApp> apps() const;  // launch order, terminated ones included
  std::optional<SimApp> app(Pid pid) const;
  std::optional<SimWindow> window(WindowKey window) const;
  // The application's open windows, front to back.
  std::vector<SimWindow> windows(Pid pid) const;
  std::optional<WindowKey> windowWithNumber(WindowId number) const;
  std::optional<Pid> frontmostApp() const;
  // The focused window of the frontmost application.
  std::optional<WindowKey> focusedWindow() const;
  Point pointer() const;
  int trustPromptsShown() const;
  std::vector<std::string> openedURLs() const;
  // What a person would see now.
  Scene scene() const;
  // Window numbers of what is ordered in, windows and the program's panels,
  // front to back as composited (higher levels first).
  std::vector<WindowId> windowNumbersFrontToBack() const;
  // One of the program's overlay panels, ordered in or out.
  std::optional<SimPanel> panel(WindowId number) const;

  // --- Records ---
  // Messaging calls answered, oldest first (the most recent kMaxCalls).
  std::vector<AXCall> calls() const;
  std::vector<AXCall> calls(Pid pid) const;
  // How each application answered the calls ending after `since`: the
  // longest answered call (a call takes its application's latency as it was
  // when the call began, so an application made fast again may still answer
  // slowly), and when the last call it let time out ended. A queue that runs
  // ahead decides its calls before the story's next step, so an application
  // un-hung by that step may still let calls time out after it: the calls,
  // not the behaviour, say when it was answering.
  struct CallPace {
    double longestAnswered = 0;
    std::optional<double> lastTimedOutAt;
  };
  std::map<Pid, CallPace> callPaceSince(double since) const;
  void clearCalls();
  // The trace: one line per call, notification delivered, user action and
  // workspace event, with virtual times; recorded only while enabled. Lines
  // are in the order things ran: a queue that spent virtual time runs ahead,
  // so its lines may carry later times than the lines after them.
  void setTracing(bool enabled);
  std::string trace() const;
  // The trace lines recorded since the first `from` of them, so a reader that
  // follows the trace step by step copies each line once.
  std::vector<std::string> traceLines(size_t from) const;

  static constexpr size_t kMaxCalls = kMaxRecordedCalls;
  static constexpr size_t kMaxTraceLines = sim::kMaxTraceLines;

  // For the adapters.
  const std::shared_ptr<WorldCore>& core() const { return core_; }

 private:
  std::shared_ptr<WorldCore> core_;
};

}  // namespace vistarail::sim
