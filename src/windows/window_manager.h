#pragma once
// WindowManager: the one controller. It sees every application, window,
// display and strip, turns bursts of notifications into one scan per
// application and one reconcile, and hands frames to the mover.
//
// All of its state lives on the main queue. Work aimed at an application runs
// on that application's queue (the mover's `perform`) with values captured at
// scheduling time, and hands its results back to the main queue holding the
// manager weakly; create it with WindowManager::create.
//
// The state is grouped by concern (manager_state.h). Each concern's
// operations live in the source file named above their declarations below
// (lifecycle, discovery, scan, refresh, reconcile, displays, layout_pass,
// new_window_placement, focus, commands, recovery, hot_keys,
// interactive_scroll, mouse_drag, overlay_update); docs/window_manager.md
// says what each holds.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/app_settings.h"
#include "base/signal.h"
#include "input/action.h"
#include "input/event_tap_monitor.h"
#include "input/hot_key_manager.h"
#include "input/swipe_tracker.h"
#include "motion/animator.h"
#include "motion/velocity_tracker.h"
#include "mover/window_mover.h"
#include "platform/accessibility.h"
#include "platform/defaults.h"
#include "platform/dispatch.h"
#include "platform/display_link.h"
#include "platform/event_taps.h"
#include "platform/hot_keys.h"
#include "platform/window_server.h"
#include "platform/workspace.h"
#include "strip/carousel.h"
#include "strip/layout.h"
#include "strip/layout_restore.h"
#include "strip/slide_animation.h"
#include "strip/strip.h"
#include "windows/app_observer.h"
#include "windows/display_info.h"
#include "windows/manager_state.h"
#include "windows/moved_windows.h"
#include "windows/overlay_update.h"
#include "windows/tracked_window.h"

namespace vistarail {

// The services the manager drives; all must outlive it.
struct WindowManagerPorts {
  Accessibility& ax;
  WindowServer& windowServer;
  Workspace& workspace;
  Dispatch& dispatch;
  DisplayLinkFactory& displayLinks;
  HotKeyService& hotKeys;
  EventTaps& eventTaps;
  Pid ownPid = 0;  // this process, never observed
  // Where the event taps' retry lines go; standard error when absent.
  EventTapMonitor::Log log = nullptr;
  // The overlay panels and the text services their captions match with;
  // without both no overlay is shown.
  OverlayPanels* overlayPanels = nullptr;
  const TextServices* text = nullptr;
};

// What the manager did, for diagnostics and the simulator's timeline.
struct ManagerEvent {
  enum class Kind { scan, scanApplied, reconcile, restore, restored, restoreFailed, stopped };
  Kind kind = Kind::scan;
  Pid pid = 0;
  WindowId window = 0;
};
const char* toString(ManagerEvent::Kind kind);

inline constexpr const char* kUnrecoveredKey = "unrecovered.v1";

class WindowManager : public std::enable_shared_from_this<WindowManager> {
 public:
  static std::shared_ptr<WindowManager> create(AppSettings& settings, Defaults& defaults,
                                               const WindowManagerPorts& ports);
  ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  // Called whenever the status text may have changed.
  std::function<void()> onStateChange;
  // What a script may see changed: windows, strips, focus, displays and
  // Spaces, pause and resume (`state`), or the strips come to rest after an
  // animation (`settled`). Never once per animation frame: listeners compare
  // the state they care about.
  enum class Change { state, settled };
  Signal<Change> changes;
  std::function<void(const ManagerEvent&)> onEvent;

  // A manager runs once: start after stop does nothing (make a new manager
  // to start again; it reads what this one saved).
  void start();
  // Saves, restores every moved window and calls the completion exactly once:
  // when the restores are done, or after 5 s whatever happens.
  void stop(std::function<void()> completion);
  bool isStopped() const { return stopped_; }
  std::string statusText() const;
  bool isRunning() const { return running_; }

  // Absent pid: every observed application.
  void scheduleRefresh(std::optional<Pid> pid);

  // --- Reading the state (main queue)
  const std::map<std::string, DisplayState>& displays() const { return displays_.states; }
  const std::vector<DisplayInfo>& connectedDisplays() const { return displays_.connected; }
  const TrackedWindow* window(WindowId id) const;
  const std::unordered_map<WindowId, TrackedWindow>& windows() const { return table_.windows; }
  // What the program owes each window it moved (null: never moved, or gone).
  const MovedWindow* movedWindow(WindowId id) const { return moved_.find(id); }
  const std::unordered_map<WindowId, MovedWindow>& movedWindows() const { return moved_.all(); }
  bool isParked(WindowId id) const { return moved_.is(id, MovedState::parked); }
  std::optional<WindowId> focusedWindow() const { return focus_.actualFocusedWindow; }
  // Where the last layout put each tiled window (before parking).
  const std::unordered_map<WindowId, Rect>& laidOutFrames() const { return displays_.layoutFrames; }
  // Display ids of the active displays, in connection order.
  std::vector<std::string> activeDisplayIDs() const;

  // The overlays of a display; null before its first overlay update or
  // without overlay panels.
  OverlayController* overlays(const std::string& displayID) const;

  // --- Input (hot_keys.cpp): the shortcut recorder suspends the hot keys.
  HotKeyManager& hotKeys() { return *hotkeys_; }
  const SwipeTracker& swipe() const { return swipe_; }
  bool isScrollingInteractively() const { return pointer_.interactiveScroll; }
  bool isHeldForDrag(WindowId id) const { return pointer_.heldForDrag.contains(id); }
  // Taken out of its strip by the user's float command.
  bool isFloatedByUser(WindowId id) const { return table_.userFloating.contains(id); }

  // Focus requests (commands, gestures, the minimap).
  void focusWindow(WindowId id);

  // --- Driven by the run loop: the queued reconcile and the animator's
  // per-frame tick (which returns whether anything still moves).
  void reconcile();
  bool tick(double dtSeconds);

  // --- Commands (commands.cpp): keyboard commands, floating, retiling, minimap
  // The one entry for the status menu and the hot keys; commands that act on
  // a strip go to the display the user is working on.
  void perform(Action action);
  // A click on a window of the display's minimap focuses it.
  void onMinimapClick(WindowId id, const std::string& displayID);
  // A window's column dropped on the minimap next to the target's column.
  void onMinimapReorder(WindowId id, const MinimapDropTarget& target, const std::string& displayID);

 private:
  // The display of the focused window when it belongs to the frontmost
  // application, else the one under the pointer; null when that display is
  // not active (the command then does nothing).
  DisplayState* commandDisplay();
  // strip_commands.cpp: each family of strip command is one step; a step
  // says whether the command was its kind and whether it changed anything.
  enum class CommandOutcome { notThisKind, nothingToDo, done };
  void performCommand(Action action, DisplayState& display);
  CommandOutcome focusCommand(Action action, DisplayState& display);
  CommandOutcome moveCommand(Action action, DisplayState& display);
  CommandOutcome widthCommand(Action action, DisplayState& display);
  CommandOutcome stackCommand(Action action, DisplayState& display);
  // Clamped to the strip's columns: the ends do not wrap.
  void focusColumn(int index, DisplayState& display);
  void toggleFloat(WindowId id);
  void retile();
  // running, enabled and the display active: when commands may touch a strip.
  bool commandsAllowed(const DisplayState& display) const;
  // --- End of commands

 private:
  struct Token {};

 public:
  WindowManager(Token, AppSettings& settings, Defaults& defaults, const WindowManagerPorts& ports);

 private:
  using AppScan = manager::AppScan;
  using RestoreTarget = manager::RestoreTarget;
  using FocusState = manager::FocusState;
  using FocusGeneration = manager::FocusGeneration;
  using KnownWindowRead = manager::KnownWindowRead;
  using ScanWork = manager::ScanWork;
  using FollowUp = manager::FollowUp;

  // lifecycle.cpp
  void wireMoverAndAnimator();
  void takeSettings();
  void subscribe();
  void observeRunningApplications();
  void setEnabled(bool enabled);
  void settingsChanged();
  void onWorkspaceEvent(WorkspaceEvent event, const std::optional<RunningApplication>& app);
  void finishStop(std::function<void()> completion);
  void emit(ManagerEvent::Kind kind, Pid pid = 0, WindowId window = 0);
  void stateChanged();
  bool managing() const;  // running, enabled and started up

  // discovery.cpp
  void trackApp(const RunningApplication& app, int attempt);
  void installObserver(const RunningApplication& app, AppObserverRef observer, int attempt);
  void finishStartup();
  void appTerminated(Pid pid);
  void handleAXNotification(Pid pid, const std::string& name, const AXElement& element);
  void refreshApp(Pid pid);
  // Nothing announces that an application which did not answer (a window
  // list, a focus read) answers again, so it is asked again after the
  // recovery period: at most one look of each kind waits per application,
  // and none runs after a stop.
  enum class AskAgain { scan, focusRead };
  void askAgainLater(AskAgain kind, Pid pid, std::function<void(WindowManager&)> look);
  // Reading an application on its queue and coming back: the read runs there
  // and returns what to do with its result on the main queue (or nothing),
  // which runs only while the manager exists.
  using AppReply = std::function<void(WindowManager&)>;
  using AppRead = std::function<AppReply(Accessibility&)>;
  // `whenIdle`: only once nothing else the program queued for the
  // application is waiting (bookkeeping that must not hold up its scans,
  // frames and restores).
  enum class AppQueueTurn { inTurn, whenIdle };
  void onAppQueue(Pid pid, AppRead read, AppQueueTurn turn = AppQueueTurn::inTurn);
  // Takes the window out of every strip that is not the current strip of an
  // active display (the reconcile judges those), bringing it back if owed.
  void leaveHiddenStrips(WindowId id);
  // scan.cpp
  void scanStep(const std::shared_ptr<ScanWork>& work);
  void finishScan(const std::shared_ptr<ScanWork>& work);
  // The new windows with their facts and the known ones still listed; false
  // when the report was not applied (stopping, or a replaced observer).
  bool applySnapshots(std::vector<WindowSnapshot> snapshots, const std::vector<WindowId>& present,
                      Pid pid, const AppObserverRef& observer);
  void followUpScan(const AppObserverRef& observer,
                    std::vector<std::pair<AXElement, WindowId>> unwatched,
                    std::vector<KnownWindowRead> known);
  void followUpStep(const std::shared_ptr<FollowUp>& work);
  void followUpLater(const std::shared_ptr<FollowUp>& work, double seconds);
  void applyKnownFacts(std::vector<WindowSnapshot> read, const AppObserverRef& observer);
  // True when the change may change a strip (tileability, full screen, or
  // the frame of a tileable window the program has not moved).
  bool updateWindow(TrackedWindow& window, WindowFacts facts);
  TrackedWindow* windowWithElement(Pid pid, const AXElement& element);
  void readTitle(const TrackedWindow& window);
  bool windowServerKnows(WindowId id);
  // A window's move or resize, heard or found out: judged at once when it
  // stands in a strip shown now, otherwise by its application's next scan.
  void windowMoved(WindowId id, Pid pid);
  // What happened to a window between its scan and its notifications being
  // registered was told to nobody; the window server knows, and is asked.
  void catchUpUnheard(WindowId id);
  // A call the application let time out: while it hangs it tells of none of
  // its windows, so the window server is asked which of them in a strip
  // shown now have left the screen (minimised or closed unheard).
  void applicationUnanswered(Pid pid);

  // refresh.cpp
  void flushRefresh();
  void refresh(const std::set<Pid>& pids);
  void appFinished(Pid pid);
  void scheduleReconcile();

  // reconcile.cpp
  void reconcileDisplay(DisplayState& display, const std::unordered_set<WindowId>& onScreen);
  // The windows on screen, as the window server lists them now; a window in
  // no strip that its application moved unheard to another display is known
  // to stand there from now on.
  std::unordered_set<WindowId> readOnScreenWindows();
  void noticeUnheardMoves(const std::vector<WindowInfo>& onScreen);
  bool mayStayInStrip(const TrackedWindow& window,
                      const std::unordered_set<WindowId>& onScreen) const;
  void forget(WindowId id);
  // Takes the window out of every strip `leave` picks; true when it left one.
  using StripFilter = std::function<bool(const DisplayState&, const Strip&)>;
  bool removeFromStrips(WindowId id, const StripFilter& leave);
  void windowLeftStrip(WindowId id);
  void scheduleExternalCheck(WindowId id);
  void externalCheck(WindowId id);
  void finishExternalCheck(WindowId id, Rect expected, std::optional<Rect> appliedBefore,
                           std::optional<Rect> actual);
  void moveWindowToDisplay(WindowId id, DisplayState& from, DisplayState& to, Rect frame);

  // displays.cpp
  void rebuildDisplays(const std::vector<DisplayInfo>& infos, std::optional<SpaceMap> spaces);
  void refreshSpaces(std::optional<SpaceMap> spaces);
  void screensChanged();
  std::vector<DisplayState*> managedDisplays();
  std::vector<DisplayState*> activeDisplays();
  bool anyActiveDisplay() const;
  DisplayState* displayState(const std::string& id);
  DisplayState* activeDisplayHolding(WindowId id);
  Strip& currentStrip(DisplayState& display);
  LayoutGeometry geometryFor(const DisplayState& display) const;
  std::optional<DisplayInfo> displayContainingFrame(const Rect& frame) const;
  // Which of `among` holds the window: the display whose strip last laid it
  // out, else the one its last known frame lies on; null when neither is
  // among them.
  const DisplayInfo* displayOf(const TrackedWindow& window,
                               std::span<const DisplayInfo> among) const;
  void scheduleSave();
  void saveLayouts();
  void cancelInteractiveScroll();

  // layout_pass.cpp
  void layout(DisplayState& display);
  void applyFrames(DisplayState& display, const FrameList& frames);
  bool spillsOntoAnotherDisplay(const Rect& frame, const DisplayState& display) const;
  void ensureFocusedVisible(DisplayState& display, bool animated);
  void scrollTo(DisplayState& display, bool animated, double target);
  void animatedMutation(DisplayState& display, const std::function<void(Strip&)>& change);
  SlideSettings slideSettings() const;
  void startAnimator();
  void sizeMismatch(WindowId id, Size requested, Size actual);
  void verified(WindowId id, const Rect& written, const Rect& read);
  // A window read back away from where it was written was moved meanwhile:
  // put back by its application, still gliding there, or pulled into view
  // by the system. Its width is followed only a few times in a row, like a
  // put-back: an application that keeps putting its window back would
  // otherwise be answered at every read-back for ever.
  bool followMovedWidth(WindowId id);
  void adoptWidth(DisplayState& display, int columnIndex, double width);

  void resetOffsets();
  void snapScrollToFocus(DisplayState& display);

  // new_window_placement.cpp: the windows leaving and joining one strip;
  // joining windows go right of the focused column, or at the end.
  void syncStrip(DisplayState& display, Strip& strip, const std::vector<WindowId>& removed,
                 const std::vector<JoiningWindow>& added, bool appendAtEnd);

  // focus.cpp
  using FocusReader = std::function<void(WindowManager&, std::optional<WindowId>, Pid)>;
  // Reads the frontmost application's focused window on its queue and hands
  // it (absent when it has none, or did not answer) back on the main queue.
  // An application that did not answer is asked again by `syncFocus` later.
  void readFrontmostFocus(FocusReader then);
  void syncFocus(bool animated);
  void focusReadUnanswered(Pid pid);
  void focusChanged(std::optional<WindowId> id, Pid pid, bool animated);
  // A report ignored while a request settles may be the truth: looks again
  // when the grace period ends, unless the request is confirmed or replaced.
  void recheckFocusAfterGrace(double atLeastSeconds = 0);

  // recovery.cpp
  void restoreWindows(const std::vector<WindowId>& ids, std::function<void()> completion);
  std::optional<RestoreTarget> restoreTarget(const TrackedWindow& window,
                                             const std::vector<DisplayInfo>& connected) const;
  void restoreReported(WindowId id, Pid pid, MoveToken token, RestoreResult result);
  void restoreParkedWindows(std::function<void()> completion);
  void startRecoveryTimer();
  void stopRecoveryTimer();
  void recoveryTick();
  void readUnrecovered();
  void clearUnrecovered(const std::vector<WindowId>& ids);
  void recordUnrecovered();

  // hot_keys.cpp
  void startInput();
  void stopInput();
  void syncHotKeys();
  void syncInterception();
  void dispatchHotKey(Action action);

  // interactive_scroll.cpp
  void gestureInput(const GestureTouches& touches);
  bool beginInteractiveScroll(DisplayState& display);
  void scrollBy(DisplayState& display, double delta);
  void endInteractiveScroll();
  void modifierScroll(const ScrollSample& sample);
  void watchForStaleInput();
  void staleSwipeTick();
  // The connected display whose frame holds the point (top-left space).
  DisplayState* displayAt(Point location);

  // mouse_drag.cpp
  void mouseButton(bool isDown, Point location);
  void mouseDragged(Point location);
  void mouseMoved(Point location);
  void dropDragged(WindowId id, std::optional<Rect> frame);
  void releaseHeld(WindowId id);

  void dropMoverRecords(WindowId id);
  void dropAllMoverRecords();

  AppSettings& settings_;
  Defaults& defaults_;
  WindowManagerPorts ports_;
  std::shared_ptr<WindowMover> mover_;
  Animator animator_;
  std::shared_ptr<HotKeyManager> hotkeys_;
  std::shared_ptr<EventTapMonitor> eventTaps_;
  SwipeTracker swipe_;
  VelocityTracker velocity_;
  RepeatingTimerRef staleSwipeTimer_;
  Bindings registeredBindings_;
  friend class ManagerOverlays;
  std::unique_ptr<ManagerOverlays> overlays_ = std::make_unique<ManagerOverlays>(*this);

  bool running_ = false;
  bool stopped_ = false;
  manager::WindowTable table_;
  manager::RefreshPipeline pipeline_;
  manager::Displays displays_;
  manager::Parking parking_;
  MovedWindows moved_;
  manager::ExternalChecks external_;
  FocusState focus_;
  std::shared_ptr<FocusGeneration> focusGeneration_ = std::make_shared<FocusGeneration>();
  manager::PointerState pointer_;
  manager::Lifecycle lifecycle_;
  // Reused by every layout, so a frame allocates nothing.
  FrameList frameScratch_;
  std::vector<Rect> otherFramesScratch_;  // the other displays' frames
};

}  // namespace vistarail
