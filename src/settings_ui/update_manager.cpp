#include "settings_ui/update_manager.h"

namespace vistarail {

UpdateManager::UpdateManager(UpdaterFactory& factory, std::function<std::string()> bundleIdentifier,
                             std::function<void()> activate)
    : factory_(factory),
      bundleIdentifier_(std::move(bundleIdentifier)),
      activate_(std::move(activate)) {}

void UpdateManager::start() {
  if (controller_) return;
  if (!bundleIdentifier_ || bundleIdentifier_() != kUpdatesBundleIdentifier) return;
  std::unique_ptr<Updater> controller = factory_.makeUnstarted();
  if (auto failure = controller->start()) {
    startupError.assign("Updates could not start. " + *failure);
    return;
  }
  controller_ = std::move(controller);
  isAvailable.assign(true);
  const auto mirror = [this](UpdaterProperty property, Published<bool>& into) {
    mirrors_.push_back(controller_->observe(property, [&into](bool value) { into.assign(value); }));
  };
  mirror(UpdaterProperty::canCheckForUpdates, canCheckForUpdates);
  mirror(UpdaterProperty::automaticallyChecksForUpdates, automaticallyChecksForUpdates);
  mirror(UpdaterProperty::automaticallyDownloadsUpdates, automaticallyDownloadsUpdates);
}

void UpdateManager::checkForUpdates() {
  if (!canCheckForUpdates.value()) return;
  if (activate_) activate_();
  if (controller_) controller_->checkForUpdates();
}

void UpdateManager::setAutomaticallyChecksForUpdates(bool on) {
  if (controller_) controller_->setAutomaticallyChecksForUpdates(on);
}

void UpdateManager::setAutomaticallyDownloadsUpdates(bool on) {
  if (controller_) controller_->setAutomaticallyDownloadsUpdates(on);
}

}  // namespace vistarail
