#pragma once
// The software updater of the simulated Mac. The factory keeps the state all
// its controllers share (as the real framework keeps its preferences in the
// defaults), so a test can make the start fail, make the updater busy or
// change a preference behind the program's back and see the program follow.

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "base/signal.h"
#include "platform/updater.h"

namespace vistarail::sim {

struct UpdaterState {
  std::optional<std::string> startFailure;  // the next starts fail with this
  bool started = false;
  int controllersMade = 0;
  int checksShown = 0;
  std::array<bool, 3> values{true, true, false};  // in UpdaterProperty order
  std::array<Signal<bool>, 3> changed;

  void set(UpdaterProperty property, bool value);
};

class SimUpdaterFactory final : public UpdaterFactory {
 public:
  std::unique_ptr<Updater> makeUnstarted() override;

  UpdaterState& state() { return *state_; }
  // A check or an install under way: no new check can start.
  void setBusy(bool busy) { state_->set(UpdaterProperty::canCheckForUpdates, !busy); }

 private:
  std::shared_ptr<UpdaterState> state_ = std::make_shared<UpdaterState>();
};

}  // namespace vistarail::sim
