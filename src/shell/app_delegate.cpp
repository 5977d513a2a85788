#include "shell/app_delegate.h"

#include "shell/shell_texts.h"

namespace vistarail {

using namespace shell;

std::shared_ptr<AppDelegate> AppDelegate::create(const ShellPorts& ports, const ShellParts& parts) {
  return std::make_shared<AppDelegate>(Token{}, ports, parts);
}

AppDelegate::AppDelegate(Token, const ShellPorts& ports, const ShellParts& parts)
    : ports_(ports), parts_(parts) {}

void AppDelegate::applicationDidFinishLaunching() {
  // Hosting a test bundle: the tests drive what they need themselves.
  if (ports_.process.environmentValue(kTestHostVariable)) return;

  parts_.updates.start();

  std::weak_ptr<AppDelegate> weak = weak_from_this();
  Application& application = ports_.application;
  QueueRef main = ports_.dispatch.main();
  termSource_ = ports_.process.observeSignal(kSignalTerminate, [main, &application] {
    // On the next turn of the run loop, as a quit chosen from the menu.
    main->asyncAfter(0, [&application] { application.terminate(); });
  });

  manager_ = parts_.makeManager();
  if (parts_.controlSocket) {
    control_ = control::ControlServer::start(*parts_.controlSocket, ports_.dispatch, manager_,
                                             parts_.settings, controlError_);
  }
  statusItem_ = StatusItemController::create(ports_, parts_, manager_);
  manager_->onStateChange = [weak] {
    auto self = weak.lock();
    if (self && self->statusItem_) self->statusItem_->refreshIcon();
  };
  updateManagementState();
}

void AppDelegate::updateManagementState() {
  if (isTerminating_ || !manager_) return;
  if (!manager_->isRunning()) {
    if (ports_.ax.isProcessTrusted(TrustPrompt::none)) {
      manager_->start();
    } else if (!permissionTimer_) {
      // One prompt per wait: the poll below finds the answer.
      (void)ports_.ax.isProcessTrusted(TrustPrompt::promptIfNeeded);
      statusItem_->refreshIcon();
      std::weak_ptr<AppDelegate> weak = weak_from_this();
      permissionTimer_ =
          ports_.dispatch.scheduleRepeating(ports_.dispatch.main(), kPermissionPollSeconds, [weak] {
            if (auto self = weak.lock()) self->permissionTick();
          });
    }
  }
  statusItem_->refreshIcon();
}

void AppDelegate::permissionTick() {
  if (isTerminating_ || !ports_.ax.isProcessTrusted(TrustPrompt::none)) return;
  permissionTimer_->invalidate();
  permissionTimer_.reset();
  updateManagementState();
}

TerminateReply AppDelegate::applicationShouldTerminate() {
  isTerminating_ = true;
  // No more scripts while the windows come back.
  if (control_) control_->close();
  if (permissionTimer_) {
    permissionTimer_->invalidate();
    permissionTimer_.reset();
  }
  // A second request (the Quit item after a SIGTERM, or two signals) while the
  // windows are still coming back waits for the same reply.
  if (stopInFlight_) return TerminateReply::later;
  if (!manager_ || !manager_->isRunning()) return TerminateReply::now;

  stopInFlight_ = true;
  Application& application = ports_.application;
  QueueRef main = ports_.dispatch.main();
  manager_->stop([main, &application] {
    // The stop may finish before this request has been answered with
    // `later`; the reply must come after that answer.
    main->async([&application] { application.replyToApplicationShouldTerminate(true); });
  });
  return TerminateReply::later;
}

bool AppDelegate::applicationShouldHandleReopen(bool) {
  parts_.settingsWindow.show(std::nullopt);
  return true;
}

}  // namespace vistarail
