#pragma once
// AppDelegate: the program's life as a menu-bar utility.
//
//   launching ── trusted ──────────────▶ managing
//       │                                   ▲
//       └─ not trusted ─▶ waiting ── poll ──┘   (one prompt, then every 1.0 s)
//   any state ── Quit, SIGTERM ──▶ terminating (final)
//
// Quitting stops the window manager, which brings every parked window back
// into view, and only then tells the application it may exit; a SIGTERM takes
// the same road as the Quit item, so a logout or `kill` loses no window.
//
// The control socket lives as long as the application: it opens once the
// manager exists and closes when quitting begins.

#include <memory>

#include "control/control_server.h"
#include "platform/application.h"
#include "shell/shell_ports.h"
#include "shell/status_item_controller.h"

namespace vistarail {

class AppDelegate final : public ApplicationDelegate,
                          public std::enable_shared_from_this<AppDelegate> {
 public:
  static std::shared_ptr<AppDelegate> create(const ShellPorts& ports, const ShellParts& parts);

  void applicationDidFinishLaunching() override;
  TerminateReply applicationShouldTerminate() override;
  bool applicationShouldHandleReopen(bool hasVisibleWindows) override;

  // The one place that starts window management: at once when permitted, else
  // after the first poll that finds the permission.
  void updateManagementState();

  // --- Reading (tests, the simulator's report).
  StatusItemController* statusItem() const { return statusItem_.get(); }
  WindowManager* manager() const { return manager_.get(); }
  bool isWaitingForPermission() const { return permissionTimer_ != nullptr; }
  bool isTerminating() const { return isTerminating_; }
  // The control socket's server (null without a socket, or when it could not
  // listen: controlError() says why).
  control::ControlServer* controlServer() const { return control_.get(); }
  const std::string& controlError() const { return controlError_; }

 private:
  struct Token {};

 public:
  AppDelegate(Token, const ShellPorts& ports, const ShellParts& parts);

 private:
  void permissionTick();

  ShellPorts ports_;
  ShellParts parts_;
  std::shared_ptr<WindowManager> manager_;
  std::shared_ptr<StatusItemController> statusItem_;
  std::shared_ptr<control::ControlServer> control_;
  std::string controlError_;
  RepeatingTimerRef permissionTimer_;
  Subscription termSource_;
  bool isTerminating_ = false;
  bool stopInFlight_ = false;
};

}  // namespace vistarail
