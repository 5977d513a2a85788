#pragma once
// What the shell asks of the settings window and of the update manager. They
// live in a module below this one and are bound by whoever assembles the
// program; the shell needs only these few calls.

#include <optional>
#include <string_view>

namespace vistarail {

// The settings window's tabs, by the names the window uses for them.
enum class SettingsPage { general, layout, gestures, shortcuts, rules, setup };

std::string_view toString(SettingsPage page);

class SettingsPresenter {
 public:
  virtual ~SettingsPresenter() = default;
  // Brings the window to the front (made on first use); on the page given,
  // else on the page it shows already.
  virtual void show(std::optional<SettingsPage> page) = 0;
};

class UpdateControl {
 public:
  virtual ~UpdateControl() = default;
  // Starts the updater once, at launch.
  virtual void start() = 0;
  // False while the updater is busy or did not start.
  virtual bool canCheckForUpdates() const = 0;
  virtual void checkForUpdates() = 0;
};

}  // namespace vistarail
