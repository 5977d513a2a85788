#pragma once
// The software updater the program only calls: it checks a feed, downloads,
// verifies and installs updates on quit, with its own windows. Shaped after
// the update framework's standard controller: created without starting, then
// started (which can fail), three observable properties, two writable
// preferences, and a check started by the user.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/signal.h"

namespace vistarail {

enum class UpdaterProperty {
  canCheckForUpdates,  // false while a check or an install is under way
  automaticallyChecksForUpdates,
  automaticallyDownloadsUpdates,
};

class Updater {
 public:
  virtual ~Updater() = default;
  // Absent on success; otherwise the error's localized description.
  virtual std::optional<std::string> start() = 0;
  virtual bool value(UpdaterProperty property) = 0;
  // Calls the handler with the current value at once, then with every new
  // value, on the main queue, until the subscription is dropped.
  [[nodiscard]] virtual Subscription observe(UpdaterProperty property,
                                             std::function<void(bool)> handler) = 0;
  virtual void setAutomaticallyChecksForUpdates(bool on) = 0;
  virtual void setAutomaticallyDownloadsUpdates(bool on) = 0;
  // Shows the updater's own check window.
  virtual void checkForUpdates() = 0;
};

class UpdaterFactory {
 public:
  virtual ~UpdaterFactory() = default;
  // A controller that has not started: no delegates, nothing checked yet.
  virtual std::unique_ptr<Updater> makeUnstarted() = 0;
};

}  // namespace vistarail
