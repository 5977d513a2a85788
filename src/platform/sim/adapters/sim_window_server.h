#pragma once
// The window server over the simulated world: window lists, display UUIDs and
// the private Spaces query, whose availability and answer shape the world's
// WindowServerConfig chooses.

#include <memory>

#include "platform/sim/world/world.h"
#include "platform/window_server.h"

namespace vistarail::sim {

class SimWindowServer final : public WindowServer {
 public:
  explicit SimWindowServer(World& world);

  // Option 17 (and 1): the ordered-in windows of the current Spaces, front to
  // back: not minimised, application neither hidden nor terminated, windows
  // parked off screen included. Option 8 with a number: that window alone
  // while it exists. Option 0: every window.
  std::vector<WindowInfo> copyWindowInfo(uint32_t option, WindowId relativeTo) override;
  std::optional<std::string> displayUUID(DisplayNumber display) override;
  std::optional<SpaceConnection> mainConnectionID() override;
  std::optional<PropertyList> copyManagedDisplaySpaces(SpaceConnection connection) override;

  // The connection id mainConnectionID hands out.
  static constexpr SpaceConnection kConnection = 0x1a2b;

 private:
  std::shared_ptr<WorldCore> core_;
};

}  // namespace vistarail::sim
