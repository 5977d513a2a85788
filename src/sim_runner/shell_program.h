#pragma once
// The program as the system launches it, for the simulator: one process (its
// application object, status item, signals, settings window and key
// monitor) running the same Program the Mac runs, over the session's desktop.
// A relaunch is a new ShellProgram, as it is a new process on a Mac; what
// the system keeps between processes (the login item, the updater's
// preferences, the stored defaults) is the session's.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/sim/adapters/desktop.h"
#include "platform/sim/adapters/sim_form_host.h"
#include "platform/sim/adapters/sim_key_monitor.h"
#include "platform/sim/adapters/sim_login_item.h"
#include "platform/sim/adapters/sim_updater.h"
#include "shell/program.h"

namespace vistarail::simrun {

// The ports the session hands a launch: the desktop's, some of them seen
// through the checker's wrappers, and the system services that outlive it.
struct ShellProgramPorts {
  sim::Desktop& desktop;
  Accessibility& ax;
  DisplayLinkFactory& displayLinks;
  OverlayPanels& overlayPanels;
  Defaults& defaults;
  sim::SimLoginItem& loginItem;
  sim::SimUpdaterFactory& updaters;
};

class ShellProgram {
 public:
  ShellProgram(const ShellProgramPorts& ports, ProgramHooks hooks,
               std::optional<std::string> controlSocket = std::nullopt);
  ~ShellProgram();

  // The settings store, before launch too (a first launch's settings).
  AppSettings& settings() { return program_->settings(); }
  // The process entry: delegate, policy, main menu, run.
  void launch();
  // The manager the program made at launch; null before or as a test host.
  std::shared_ptr<WindowManager> manager() const;
  // The control socket's server; null when not serving (controlError says why).
  control::ControlServer* controlServer() const { return program_->delegate().controlServer(); }
  std::string controlError() const { return program_->delegate().controlError(); }
  bool exited() const { return application_.terminatedAt().has_value(); }
  // Asked to quit (and not yet allowed to exit, or exited).
  bool quitting() const { return program_->delegate().isTerminating(); }

  // What a person does to it.
  void chooseFromStatusMenu(const std::string& title);
  void sendTerminate() { process_.sendSignal(kSignalTerminate); }
  void reopen() { application_.reopen(); }
  // Quits as the Quit row does.
  void quit();
  // The settings window on screen, and the hands and keys that work it.
  sim::SimFormHost& settingsWindow() { return settingsHost_; }
  sim::SimKeyMonitor& keyMonitor() { return keyMonitor_; }

  // The status item and its menu as they show now, and the settings window:
  // {"status", "icon", "dimmed", "tooltip", "menu", "settingsTab",
  //  "settingsShown", "controls", "exited"}.
  nlohmann::json state() const;
  // The menu rebuilt as it would open now (empty without a status item).
  Menu currentMenu() const;
  // What the status bar, the application and the alerts logged since last
  // asked, with the virtual time of each line.
  std::vector<std::pair<double, std::string>> takeLog();

 private:
  sim::Desktop& desktop_;
  sim::SimApplication application_;
  sim::SimStatusBar statusBar_;
  sim::SimProcess process_;
  sim::SimAlerts alerts_;
  sim::SimFormHost settingsHost_;
  sim::SimKeyMonitor keyMonitor_;
  std::unique_ptr<Program> program_;
  bool launched_ = false;
  size_t statusLogRead_ = 0;
  size_t appLogRead_ = 0;
  size_t alertsRead_ = 0;
};

// One row of a menu as the report and expectations write it: "—" for a
// separator, "(title)" when disabled, "✓ title" when checked.
std::vector<std::string> menuRows(const Menu& menu);

// What a control of the settings window shows, in one line: a toggle "on" or
// "off", a slider or value its text, a picker its choice, a text field its
// text, a shortcut row its keys ("none" without), a tile "selected" or not, a
// checklist row its detail, anything else its label; "(disabled)" after it
// when it cannot be operated.
std::string controlShows(const FormControl& control);

// For an expectation on the program itself ("status", "icon", "menu",
// "settingsTab", "control" with "shows") that the state does not meet, what
// is wrong; absent when it is met or names none of these.
std::optional<std::string> unmetShellExpectation(const nlohmann::json& expectation,
                                                 const nlohmann::json& state);

}  // namespace vistarail::simrun
