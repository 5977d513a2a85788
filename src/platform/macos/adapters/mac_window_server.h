#pragma once
// The window-server port over CoreGraphics' window lists and display UUIDs,
// and the two private Spaces functions, looked up by name once and reported
// absent when the system does not have them.

#include "platform/window_server.h"

namespace vistarail::macos {

class MacWindowServer final : public WindowServer {
 public:
  std::vector<WindowInfo> copyWindowInfo(uint32_t option, WindowId relativeTo) override;
  std::optional<std::string> displayUUID(DisplayNumber display) override;
  std::optional<SpaceConnection> mainConnectionID() override;
  std::optional<PropertyList> copyManagedDisplaySpaces(SpaceConnection connection) override;
};

}  // namespace vistarail::macos
