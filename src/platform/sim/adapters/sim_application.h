#pragma once
// The program's application object on the simulated desktop. It keeps what
// the program set (activation policy, main menu), counts what it asked for
// (activations, About panels, beeps) and plays the terminate protocol: the
// delegate answers now, never or later, and a later reply ends the process.
// The time the process was allowed to exit is recorded; the virtual clock goes
// on, so a test can see that nothing was left undone before it.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/dispatch.h"

namespace vistarail::sim {

class SimApplication final : public Application {
 public:
  explicit SimApplication(Dispatch& dispatch) : dispatch_(dispatch) {}

  void setDelegate(std::weak_ptr<ApplicationDelegate> delegate) override;
  bool setActivationPolicy(ActivationPolicy policy) override;
  void setMainMenu(Menu menu) override;
  void run() override;
  void terminate() override;
  void replyToApplicationShouldTerminate(bool shouldTerminate) override;
  void activate() override;
  void orderFrontStandardAboutPanel() override;
  void beep() override;

  // --- Reading.
  std::optional<ActivationPolicy> activationPolicy() const { return policy_; }
  const std::optional<Menu>& mainMenu() const { return mainMenu_; }
  bool launched() const { return launched_; }
  int activations() const { return activations_; }
  int aboutPanelsShown() const { return aboutPanels_; }
  int beeps() const { return beeps_; }
  int terminateRequests() const { return terminateRequests_; }
  bool awaitingTerminateReply() const { return awaitingReply_; }
  // When the process was allowed to exit, if it was.
  std::optional<double> terminatedAt() const { return terminatedAt_; }
  // One line per request and answer, with the virtual time.
  const std::vector<std::string>& log() const { return log_; }

  // --- The user's hands (delivered on the main queue).
  // Opens the program again from the Finder or the Dock.
  void reopen();
  // Chooses an item of the main menu by the titles of its menu and its own.
  void chooseMainMenuItem(const std::string& menuTitle, const std::string& itemTitle);

 private:
  void note(const std::string& text);
  void exitProcess();

  Dispatch& dispatch_;
  std::weak_ptr<ApplicationDelegate> delegate_;
  std::optional<ActivationPolicy> policy_;
  std::optional<Menu> mainMenu_;
  bool launched_ = false;
  int activations_ = 0;
  int aboutPanels_ = 0;
  int beeps_ = 0;
  int terminateRequests_ = 0;
  bool awaitingReply_ = false;
  std::optional<double> terminatedAt_;
  std::vector<std::string> log_;
};

}  // namespace vistarail::sim
