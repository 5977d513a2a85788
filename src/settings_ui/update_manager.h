#pragma once
// Software updates: starts the updater at launch and mirrors its state for the
// settings window and the menus. Checking, downloading, verifying and
// installing belong to the updater; this only starts it, forwards a check the
// user asks for and writes the two automatic preferences. Only the customer
// build (its own bundle identifier) has updates; any other build, a
// developer's or a test host, never creates an updater. Main queue only.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/published.h"
#include "platform/updater.h"

namespace vistarail {

inline constexpr const char* kUpdatesBundleIdentifier = "com.tolvane.vistarail";

class UpdateManager {
 public:
  UpdateManager(UpdaterFactory& factory, std::function<std::string()> bundleIdentifier,
                std::function<void()> activate);
  UpdateManager(const UpdateManager&) = delete;
  UpdateManager& operator=(const UpdateManager&) = delete;

  Published<bool> isAvailable{false};
  Published<bool> canCheckForUpdates{false};
  Published<bool> automaticallyChecksForUpdates{false};
  Published<bool> automaticallyDownloadsUpdates{false};
  Published<std::optional<std::string>> startupError{std::nullopt};

  // Once at launch; later calls do nothing.
  void start();
  // Brings the application forward and shows the updater's check, unless the
  // updater cannot check now.
  void checkForUpdates();
  // Whether a "Check for Updates…" item is enabled.
  bool validateMenuItem() const { return canCheckForUpdates.value(); }
  // Written to the running updater; the mirrors follow through observation.
  void setAutomaticallyChecksForUpdates(bool on);
  void setAutomaticallyDownloadsUpdates(bool on);

 private:
  UpdaterFactory& factory_;
  std::function<std::string()> bundleIdentifier_;
  std::function<void()> activate_;
  std::unique_ptr<Updater> controller_;
  std::vector<Subscription> mirrors_;
};

}  // namespace vistarail
