#pragma once
// StatusItemController: the program's icon in the menu bar and its menu.
//
// The icon shows whether windows are being arranged: the strip symbol when
// management is on and permitted, the slashed one, dimmed, otherwise; the
// tooltip carries the manager's status text. The menu is built afresh each
// time it opens, so it always tells the current state and nothing in it is
// kept in step while it is closed.

#include <memory>
#include <string>
#include <vector>

#include "platform/menu.h"
#include "platform/status_item.h"
#include "shell/shell_ports.h"

namespace vistarail {

class StatusItemController : public std::enable_shared_from_this<StatusItemController> {
 public:
  // Puts the item in the menu bar with its icon.
  static std::shared_ptr<StatusItemController> create(const ShellPorts& ports,
                                                      const ShellParts& parts,
                                                      std::shared_ptr<WindowManager> manager);

  void refreshIcon();
  // The rows of the menu as they would show now, top to bottom.
  std::vector<MenuItem> menuItems();

  // The items' actions.
  void togglePause();
  void retile();
  void toggleCarousel();
  void openAccessibility();
  void openSetup();
  void openSettings();
  void showAbout();
  void checkForUpdates();
  void showPrivacyPolicy();
  void quit();

 private:
  struct Token {};

 public:
  StatusItemController(Token, const ShellPorts& ports, const ShellParts& parts,
                       std::shared_ptr<WindowManager> manager);

 private:
  bool trusted();
  // An item whose action calls `action` on this controller while it exists.
  MenuItem item(std::string title, void (StatusItemController::*action)());
  // The title with the first shortcut bound to the action, when there is one.
  MenuItem shortcutItem(std::string title, Action action, void (StatusItemController::*perform)());

  ShellPorts ports_;
  ShellParts parts_;
  std::shared_ptr<WindowManager> manager_;
  std::unique_ptr<StatusItem> statusItem_;
};

}  // namespace vistarail
