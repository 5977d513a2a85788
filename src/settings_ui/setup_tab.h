#pragma once
// The Mac Setup tab: the checklist, rebuilt when the tab appears, every two
// seconds while it shows (so a permission granted in System Settings turns
// its row green without a click) and when the finger count changes.

#include <vector>

#include "settings_ui/controls.h"
#include "settings_ui/settings_context.h"
#include "settings_ui/setup_check.h"

namespace vistarail {

inline constexpr double kSetupRefreshSeconds = 2.0;

// The system's answers at this instant, for the checklist.
SetupFacts gatherSetupFacts(const ShellServices& services, const AppSettings& settings);

class SetupTab {
 public:
  explicit SetupTab(SettingsContext& context);
  ~SetupTab() { disappear(); }
  SetupTab(const SetupTab&) = delete;
  SetupTab& operator=(const SetupTab&) = delete;

  // The tab came on screen: rebuild now and every kSetupRefreshSeconds.
  void appear();
  // Off screen (another tab, or the window closed): the timer stops.
  void disappear();
  bool isShown() const { return timer_ != nullptr; }

  void refresh();
  const std::vector<SetupCheck>& rows() const { return rows_; }
  int refreshes() const { return refreshes_; }

  Controls controls();

 private:
  SettingsContext& context_;
  std::vector<SetupCheck> rows_;
  int refreshes_ = 0;
  RepeatingTimerRef timer_;
  Subscription fingers_;
};

}  // namespace vistarail
