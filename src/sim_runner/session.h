#pragma once
// Session: the whole program on a simulated desktop, told a scenario's story
// step by step in virtual time: the same AppSettings, WindowManager, mover and
// strip engine as on the Mac, over a sim::World and an in-memory defaults
// domain that outlives a stop and start.
//
// It records a timeline (user actions, notifications, scans, reconciles,
// commands, frames written, restores), describes the state as JSON, and checks
// the program's invariants after a step when asked.

#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/app_settings.h"
#include "platform/sim/adapters/desktop.h"
#include "sim_runner/app_habits.h"
#include "sim_runner/checker.h"
#include "sim_runner/control_link.h"
#include "sim_runner/planted_ports.h"
#include "sim_runner/scenario.h"
#include "sim_runner/shell_program.h"
#include "windows/window_manager.h"

namespace vistarail::simrun {

struct TimelineEntry {
  double time = 0;
  int step = 0;      // 1-based; 0 before the first step
  std::string kind;  // user, command, notification, scan, reconcile, frame, restore, snapshot, ...
  std::string text;
};

struct Violation {
  std::string invariant;  // a stable name: "stripInvariants", "windowLostAfterStop", ...
  std::string detail;
};

struct SessionOptions {
  // Follow the world's trace for notifications and frames written (costs time).
  bool timeline = true;
  // Every line of the world's trace in the timeline too (kind "trace"): each
  // call the program made, with its times and result.
  bool wholeTrace = false;
  // A fault planted on purpose, to prove that failures are caught and shrunk
  // (planted_ports.h lists them).
  std::string plantedFault;
  // Where the program listens for scripts. Empty: a folder of its own when a
  // step speaks to the control socket, else no socket at all.
  std::string controlSocket = {};
};

// Time after a step before the strips must agree with the windows on screen:
// scans, the batch deadline and the reconcile are over by then, and so are
// the mover's retries for a window that will not take its frame (its
// application then gets another look).
inline constexpr double kSettleSeconds = 3.0;
// Time after a stop or pause before every moved window must be back: the
// stop's own bound, plus a messaging time-out.
inline constexpr double kRestoreSeconds = 6.0;

class Session {
 public:
  Session(const Scenario& scenario, SessionOptions options = {});
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Builds the desktop, starts the program and lets it settle.
  void begin();
  // Runs step `index` of the scenario. Steps the world turns down (a Space
  // that is gone) are noted in the timeline and change nothing.
  void runStep(size_t index);
  // Runs a step that is not part of the scenario (the explorer's).
  void runStep(const Step& step, int number);
  // Lets the program settle at the end of the story.
  void finish();

  // The invariants that must hold now, in the order they are checked; the
  // first one broken.
  std::optional<Violation> check();

  nlohmann::json state() const;
  nlohmann::json storedDefaults() const { return defaults_.storedValues(); }
  const std::vector<TimelineEntry>& timeline() const { return timeline_; }
  sim::Scene scene() const { return world_.scene(); }
  // The status menu as it would open now; empty while the program is not running.
  Menu statusMenu() const { return program_ ? program_->currentMenu() : Menu{}; }
  double now() const { return dispatch_.now(); }
  bool running() const { return manager_ != nullptr; }

 public:
  // session_shell.cpp: the steps a person takes with the program itself.
  void grantAccessibility();
  enum class Approach { menu, sigterm, reopen };
  // A status menu item chosen (by its title), SIGTERM, or the program opened
  // again; waits for the program to exit if that made it quit.
  void approachProgram(Approach how, const std::string& menuTitle = {});

  // --- For the step kinds (steps_*.cpp): the desktop, the program and the
  // names the story gives to applications, windows and displays.
  sim::Desktop& desktop() { return desktop_; }
  AppSettings* settings() { return settings_; }
  // The running program's process; null while it is stopped.
  ShellProgram* program() { return program_.get(); }
  // What the system answers the program's login item and updater, kept
  // across launches.
  sim::SimLoginItem& loginItem() { return loginItem_; }
  sim::SimUpdaterFactory& updaters() { return updaters_; }
  // The settings window's tabs shown since the last call, the last form of
  // each, in the order first shown (the report's pictures).
  std::vector<FormWindow> takeVisitedSettings();
  WindowManager* manager() { return manager_.get(); }
  // A line of the timeline.
  void note(const std::string& kind, const std::string& text);
  // What the user did, or tried to do when the world turned it down.
  void user(const std::string& text, bool done);
  Pid pidOf(const std::string& app) const;
  std::optional<sim::WindowKey> keyOf(const std::string& window) const;
  std::optional<DisplayNumber> displayOf(const std::string& display) const;
  std::string appName(Pid pid) const;
  std::string displayName(const std::string& uuid) const;
  sim::AppSetup& appSetup(const std::string& app) { return appSetups_.at(app); }
  sim::DisplaySetup& displaySetup(const std::string& display) { return displaySetups_.at(display); }
  void nameApp(const std::string& app, Pid pid) { pids_[app] = pid; }
  void nameWindow(const std::string& window, sim::WindowKey key);
  void nameDisplay(const std::string& display, std::optional<DisplayNumber> number);
  void startProgram(bool firstLaunch);
  void stopProgram();
  // Lets time pass; the checker takes a look when the program should have
  // come to rest, so that a long wait shows whether it stays at rest.
  void waitFor(double seconds);
  // Runs the step's function; the reader has checked it.
  void execute(const Step& step);
  // The story's connections to the control socket; null when the program
  // does not serve one (steps_control.cpp).
  ControlLink* control() { return control_.get(); }

 private:
  friend class Checker;
  // Waits for a program that was asked to quit to be allowed to exit, then
  // lets it go.
  void awaitExit();
  void openControl();
  void followProgramLog();
  // Keeps the settings window's form when it shows, for the report.
  void followSettingsWindow();
  void followTrace();
  void watchHabits();
  std::string windowName(WindowId id) const;
  std::string keyName(sim::WindowKey key) const;
  bool inView(const Rect& frame) const;

  Scenario scenario_;
  SessionOptions options_;
  sim::Desktop desktop_;
  sim::VirtualDispatch& dispatch_ = desktop_.dispatch;
  sim::World& world_ = desktop_.world;
  sim::SimAccessibility& ax_ = desktop_.ax;
  sim::SimWindowServer& windowServer_ = desktop_.windowServer;
  sim::SimWorkspace& workspace_ = desktop_.workspace;
  sim::SimDisplayLinkFactory& links_ = desktop_.links;
  sim::SimHotKeys& hotKeys_ = desktop_.hotKeys;
  sim::SimEventTaps& taps_ = desktop_.taps;
  sim::SimOverlayPanels& overlayPanels_ = desktop_.overlayPanels;
  sim::MemoryDefaults& defaults_ = desktop_.defaults;
  // The system services the program's processes share.
  sim::SimLoginItem loginItem_;
  sim::SimUpdaterFactory updaters_;
  // The running program: its settings, its shell and the manager it made.
  AppSettings* settings_ = nullptr;
  std::unique_ptr<ShellProgram> program_;
  std::shared_ptr<WindowManager> manager_;

  std::vector<TimelineEntry> timeline_;
  size_t traceRead_ = 0;
  int step_ = 0;

  std::map<std::string, sim::AppSetup> appSetups_;
  std::map<std::string, Pid> pids_;
  std::map<std::string, sim::WindowKey> windowKeys_;
  std::unordered_map<sim::WindowKey, std::string> keyNames_;
  std::unordered_map<WindowId, std::string> numberNames_;
  std::map<std::string, sim::DisplaySetup> displaySetups_;
  std::map<std::string, DisplayNumber> displayNumbers_;
  std::vector<std::string> displayOrder_;

  // What the checker reads and the faults it is shown to catch.
  CountingAccessibility countingAx_{ax_, options_.plantedFault, [this] { return now(); }};
  FaultyOverlayPanels faultyPanels_{overlayPanels_};
  FaultyDisplayLinks faultyLinks_{links_};
  StaleDefaults staleDefaults_{defaults_, options_.plantedFault == "staleLayout"};
  AppHabits habits_;
  bool justStopped_ = false;
  // When the program last set out to bring a window back into view.
  double lastRestoreAt_ = -std::numeric_limits<double>::infinity();
  double lastReconcileAt_ = -std::numeric_limits<double>::infinity();
  // When an application with a habit last acted on one of its windows.
  double habitsActedAt_ = -std::numeric_limits<double>::infinity();
  std::vector<FormWindow> visitedSettings_;
  Checker checker_{*this};
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool watching_ = false;
  // The control socket: its folder when the session made one, and the link.
  std::string controlFolder_;
  std::unique_ptr<ControlLink> control_;
};

}  // namespace vistarail::simrun
