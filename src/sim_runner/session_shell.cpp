// The steps a person takes with the program itself rather than with the
// windows: granting Accessibility, the status menu, SIGTERM and reopening.

#include <utility>

#include "sim_runner/session.h"

namespace vistarail::simrun {

namespace {
// The stop promises the reply within 5 s whatever the applications do; a
// little more leaves room for the last restores' replies.
constexpr double kExitWaitSeconds = 7.0;
}  // namespace

void Session::grantAccessibility() {
  world_.setTrusted(true);
  note("user", "grants Vistarail Accessibility access");
}

void Session::approachProgram(Approach how, const std::string& menuTitle) {
  static constexpr const char* kNames[] = {"menu", "sigterm", "reopen"};
  if (!program_) {
    note("skipped", std::string(kNames[static_cast<int>(how)]) + " (the program is not running)");
    return;
  }
  switch (how) {
    case Approach::menu:
      note("user", "chooses \u201c" + menuTitle + "\u201d from the status menu");
      program_->chooseFromStatusMenu(menuTitle);
      break;
    case Approach::sigterm:
      note("user", "sends SIGTERM to the program");
      program_->sendTerminate();
      break;
    case Approach::reopen:
      note("user", "opens Vistarail again");
      program_->reopen();
      break;
  }
  // The click, the signal or the reopen reach the program on its main queue.
  dispatch_.runFor(0.01);
  followProgramLog();
  if (program_->quitting()) {
    awaitExit();
    justStopped_ = true;
  }
}

void Session::awaitExit() {
  for (int i = 0; i < kExitWaitSeconds * 10 && !program_->exited(); ++i) dispatch_.runFor(0.1);
  if (!program_->exited()) note("problem", "the program was not allowed to exit within 7 s");
  followTrace();
  followProgramLog();
  followSettingsWindow();
  // The manager refers to the settings the program owns.
  manager_.reset();
  settings_ = nullptr;
  program_.reset();
}

void Session::followSettingsWindow() {
  if (!program_ || !program_->settingsWindow().isVisible()) return;
  const FormWindow& form = program_->settingsWindow().form();
  for (FormWindow& visited : visitedSettings_) {
    if (visited.selectedTab == form.selectedTab) {
      visited = form;
      return;
    }
  }
  visitedSettings_.push_back(form);
}

std::vector<FormWindow> Session::takeVisitedSettings() {
  followSettingsWindow();
  return std::exchange(visitedSettings_, {});
}

void Session::followProgramLog() {
  if (!program_) return;
  for (auto& [time, text] : program_->takeLog()) {
    timeline_.push_back({time, step_, "program", std::move(text)});
  }
}

}  // namespace vistarail::simrun
