#include "platform/macos/adapters/mac_updater.h"

namespace vistarail::macos {

namespace {

class UnavailableUpdater final : public Updater {
 public:
  std::optional<std::string> start() override { return std::string(kNoUpdaterDescription); }
  bool value(UpdaterProperty) override { return false; }
  Subscription observe(UpdaterProperty, std::function<void(bool)> handler) override {
    if (handler) handler(false);
    return Subscription();
  }
  void setAutomaticallyChecksForUpdates(bool) override {}
  void setAutomaticallyDownloadsUpdates(bool) override {}
  void checkForUpdates() override {}
};

}  // namespace

std::unique_ptr<Updater> MacUpdaterFactory::makeUnstarted() {
  return std::make_unique<UnavailableUpdater>();
}

}  // namespace vistarail::macos
