#pragma once
// The General tab: management on or off, launch at login, animation, which
// displays get a strip, focus centring, the width of new windows, and the
// About section with the updates block.

#include <optional>
#include <string>
#include <vector>

#include "settings_ui/controls.h"
#include "settings_ui/settings_context.h"

namespace vistarail {

class GeneralTab {
 public:
  explicit GeneralTab(SettingsContext& context);
  GeneralTab(const GeneralTab&) = delete;
  GeneralTab& operator=(const GeneralTab&) = delete;

  Controls controls();

  // Registers or unregisters the login item. A refusal is shown under the
  // toggle, which goes back to what the system actually has.
  void setLaunchAtLogin(bool on);
  bool launchAtLogin() const { return launchAtLogin_; }
  const std::optional<std::string>& loginError() const { return loginError_; }
  const std::vector<DisplayInfo>& displays() const { return displays_; }

 private:
  void readDisplays();
  void addDisplays(Controls& controls);
  void addAbout(Controls& controls);

  SettingsContext& context_;
  bool launchAtLogin_ = false;
  std::optional<std::string> loginError_;
  std::vector<DisplayInfo> displays_;
  Subscription screens_;
};

}  // namespace vistarail
