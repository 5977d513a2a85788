#pragma once
// The window server over X11: the window list from the window manager's
// stacking order, window numbers as the clients' window ids, displays named
// by their monitors, and EWMH desktops as Spaces (one set shared by every
// monitor, as X has it; a full-screen active window's monitor shows a
// full-screen Space).

#include "platform/window_server.h"
#include "platform/x11/x_connection.h"
#include "platform/x11/x_desktop.h"

namespace vistarail::x11 {

class XWindowServer final : public WindowServer {
 public:
  XWindowServer(XServer& server, XDesktop& desktop) : server_(server), desktop_(desktop) {}
  std::vector<WindowInfo> copyWindowInfo(uint32_t option, WindowId relativeTo) override;
  std::optional<std::string> displayUUID(DisplayNumber display) override;
  std::optional<SpaceConnection> mainConnectionID() override { return 1; }
  std::optional<PropertyList> copyManagedDisplaySpaces(SpaceConnection connection) override;

 private:
  std::optional<WindowInfo> infoOf(Display* d, const ClientRecord& client);
  XServer& server_;
  XDesktop& desktop_;
};

}  // namespace vistarail::x11
