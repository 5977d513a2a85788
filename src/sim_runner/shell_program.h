#pragma once
// The program as the system launches it, for the simulator: one process (its
// application object, status item, signals and bundle) running the shell over
// the session's desktop, settings and manager factory. A relaunch is a new
// ShellProgram, as it is a new process on a Mac.
//
// The settings window and the updater are stood in for here by a record of
// the tab shown and an updater that is not available (a build under another
// bundle identifier), until the settings window's model is bound.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/sim/adapters/desktop.h"
#include "shell/app_delegate.h"

namespace vistarail::simrun {

struct RecordedSettingsWindow : SettingsPresenter {
  std::optional<SettingsPage> page;  // absent until first shown
  int shows = 0;
  void show(std::optional<SettingsPage> requested) override {
    ++shows;
    page = requested.value_or(page.value_or(SettingsPage::general));
  }
};

struct UnavailableUpdates : UpdateControl {
  void start() override {}
  bool canCheckForUpdates() const override { return false; }
  void checkForUpdates() override {}
};

class ShellProgram {
 public:
  ShellProgram(sim::Desktop& desktop, AppSettings& settings,
               std::function<std::shared_ptr<WindowManager>()> makeManager);
  ~ShellProgram();

  // Listens for scripts at the path from launch on (before launch()).
  void serveControl(std::string socketPath) { controlSocket_ = std::move(socketPath); }
  // The process entry: delegate, policy, main menu, run.
  void launch();
  // The control socket's server; null when not serving (controlError says why).
  control::ControlServer* controlServer() const;
  std::string controlError() const { return delegate_ ? delegate_->controlError() : std::string(); }
  // The manager the program made at launch; null before or as a test host.
  std::shared_ptr<WindowManager> manager() const;
  bool exited() const { return application_.terminatedAt().has_value(); }
  // Asked to quit (and not yet allowed to exit, or exited).
  bool quitting() const { return delegate_ && delegate_->isTerminating(); }

  // What a person does to it.
  void chooseFromStatusMenu(const std::string& title);
  void sendTerminate() { process_.sendSignal(kSignalTerminate); }
  void reopen() { application_.reopen(); }
  // Quits as the Quit row does.
  void quit();

  // The status item and its menu as they show now, and the settings window's
  // tab: {"status", "icon", "dimmed", "tooltip", "menu", "settingsTab", "exited"}.
  nlohmann::json state() const;
  // The menu rebuilt as it would open now (empty without a status item).
  Menu currentMenu() const;
  // What the status bar, the application and the alerts logged since last
  // asked, with the virtual time of each line.
  std::vector<std::pair<double, std::string>> takeLog();

 private:
  sim::Desktop& desktop_;
  AppSettings& settings_;
  std::function<std::shared_ptr<WindowManager>()> makeManager_;
  sim::SimApplication application_;
  sim::SimStatusBar statusBar_;
  sim::SimProcess process_;
  sim::SimAlerts alerts_;
  RecordedSettingsWindow settingsWindow_;
  UnavailableUpdates updates_;
  std::shared_ptr<AppDelegate> delegate_;
  std::optional<std::string> controlSocket_;
  size_t statusLogRead_ = 0;
  size_t appLogRead_ = 0;
  size_t alertsRead_ = 0;
};

// One row of a menu as the report and expectations write it: "—" for a
// separator, "(title)" when disabled, "✓ title" when checked.
std::vector<std::string> menuRows(const Menu& menu);

// For an expectation on the program itself ("status", "icon", "menu",
// "settingsTab") that the state does not meet, what is wrong; absent when it
// is met or names none of these.
std::optional<std::string> unmetShellExpectation(const nlohmann::json& expectation,
                                                 const nlohmann::json& state);

}  // namespace vistarail::simrun
