#include "platform/sim/adapters/sim_updater.h"

namespace vistarail::sim {

namespace {

size_t slot(UpdaterProperty property) {
  return static_cast<size_t>(property);
}

class SimUpdater final : public Updater {
 public:
  explicit SimUpdater(std::shared_ptr<UpdaterState> state) : state_(std::move(state)) {}

  std::optional<std::string> start() override {
    if (state_->startFailure) return state_->startFailure;
    state_->started = true;
    return std::nullopt;
  }
  bool value(UpdaterProperty property) override { return state_->values[slot(property)]; }
  Subscription observe(UpdaterProperty property, std::function<void(bool)> handler) override {
    handler(state_->values[slot(property)]);
    return state_->changed[slot(property)].subscribe(std::move(handler));
  }
  void setAutomaticallyChecksForUpdates(bool on) override {
    state_->set(UpdaterProperty::automaticallyChecksForUpdates, on);
  }
  void setAutomaticallyDownloadsUpdates(bool on) override {
    state_->set(UpdaterProperty::automaticallyDownloadsUpdates, on);
  }
  void checkForUpdates() override {
    // A check the framework is not ready for shows nothing.
    if (state_->started && state_->values[slot(UpdaterProperty::canCheckForUpdates)])
      ++state_->checksShown;
  }

 private:
  std::shared_ptr<UpdaterState> state_;
};

}  // namespace

void UpdaterState::set(UpdaterProperty property, bool value) {
  values[slot(property)] = value;
  changed[slot(property)].emit(value);
}

std::unique_ptr<Updater> SimUpdaterFactory::makeUnstarted() {
  ++state_->controllersMade;
  return std::make_unique<SimUpdater>(state_);
}

}  // namespace vistarail::sim
