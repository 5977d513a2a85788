#pragma once
// The workspace over X11: applications are the processes (or client leaders)
// that own listed windows; one launches when its first window appears and
// terminates when its last one goes; the frontmost is the active window's.
// Screens are the RandR monitors (monitor_layout.h).

#include <optional>

#include "base/signal.h"
#include "platform/workspace.h"
#include "platform/x11/x_connection.h"
#include "platform/x11/x_desktop.h"

namespace vistarail::x11 {

class XWorkspace final : public Workspace {
 public:
  XWorkspace(XServer& server, XDesktop& desktop) : server_(server), desktop_(desktop) {}

  std::vector<RunningApplication> runningApplications() override;
  std::optional<RunningApplication> frontmostApplication() override;
  [[nodiscard]] Subscription observe(WorkspaceHandler handler) override;
  std::vector<ScreenInfo> screens() override;
  [[nodiscard]] Subscription observeScreenParameters(std::function<void()> handler) override;
  Point pointerLocation() override;
  bool openURL(const std::string& url) override;
  OSVersion operatingSystemVersion() override;
  ImageRef runningApplicationIcon(Pid) override { return nullptr; }
  std::optional<std::string> urlForApplication(const std::string&) override { return std::nullopt; }
  ImageRef iconForFile(const std::string&) override { return nullptr; }

  // --- The event pump, on the main queue.
  std::optional<RunningApplication> application(Pid pid) const;
  void post(WorkspaceEvent event, const std::optional<RunningApplication>& app) {
    events_.emit(event, app);
  }
  void screensChanged() { screenChanges_.emit(); }

 private:
  XServer& server_;
  XDesktop& desktop_;
  Signal<WorkspaceEvent, std::optional<RunningApplication>> events_;
  Signal<> screenChanges_;
};

}  // namespace vistarail::x11
