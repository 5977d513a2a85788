#pragma once
// The status bar of the simulated desktop: it keeps what the program shows in
// the menu bar (image, dimming, tooltip, menu) for tests and reports, and a
// user's hands click the item and choose from its menu. Clicks and choices
// reach the program on the main queue, as events do.

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/dispatch.h"
#include "platform/status_item.h"

namespace vistarail::sim {

// What one status item shows now.
struct StatusItemState {
  double length = 0;
  std::optional<SymbolImage> image;
  bool appearsDisabled = false;
  std::string toolTip;
  Menu menu;
  std::function<void(Menu&)> needsUpdate;
  bool inMenuBar = true;
  bool menuOpen = false;
};

class SimStatusBar final : public StatusBar {
 public:
  explicit SimStatusBar(Dispatch& dispatch) : dispatch_(dispatch) {}

  std::unique_ptr<StatusItem> makeStatusItem(double length) override;
  std::optional<SymbolImage> systemSymbol(const std::string& name,
                                          const std::string& accessibilityDescription) override;

  // --- The system: symbols the catalogue lacks (an older system).
  void setMissingSymbols(std::set<std::string> names) { missing_ = std::move(names); }

  // --- Reading: items made so far and the latest one still in the menu bar.
  int itemsMade() const { return static_cast<int>(items_.size()); }
  const StatusItemState* item() const;
  // The menu as it was last opened (absent before the first click).
  const std::optional<Menu>& lastOpenedMenu() const { return lastOpened_; }
  // What the user's hands did and how the menu answered, one line each.
  const std::vector<std::string>& log() const { return log_; }

  // --- The user's hands.
  // Clicks the item: the menu is brought up to date and opens.
  void click();
  // Chooses the item with that title from the open menu, which then closes;
  // a disabled or missing item only closes it.
  void choose(const std::string& title);
  // Closes the open menu without choosing.
  void dismiss();

 private:
  StatusItemState* current();

  Dispatch& dispatch_;
  std::set<std::string> missing_;
  std::vector<std::shared_ptr<StatusItemState>> items_;
  std::optional<Menu> lastOpened_;
  std::vector<std::string> log_;
};

}  // namespace vistarail::sim
