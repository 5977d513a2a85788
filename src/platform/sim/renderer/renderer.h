#pragma once
// Draws a Scene to a PNG picture so a person can see what the program did.
//
// The displays are laid out as they sit in global space, scaled to fit the
// picture. Each shows its menu bar (the part of the frame above the visible
// frame) and its Dock area (the rest of the frame outside the visible frame).
// Windows are drawn back to front and clipped to the displays, each with a
// title bar naming the window and its application; the focused window is
// outlined in the accent colour, floating windows are lighter. A window parked
// off screen shows only its sliver, which is widened to a few pixels and
// flagged with a small orange marker so it cannot be missed at any scale.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/sim/world/scene.h"

namespace vistarail::sim {

class Renderer {
 public:
  static constexpr int kMinPixels = 16;
  static constexpr int kMaxPixels = 8192;
  // The thinnest a visible part of a window is ever drawn.
  static constexpr double kMinimumSliverPixels = 3;

  // Writes the picture; on failure returns a one-line description (bad size,
  // unwritable file) and leaves no partial file behind.
  [[nodiscard]] std::optional<std::string> writePng(const Scene& scene,
                                                    const std::filesystem::path& path,
                                                    int widthPixels, int heightPixels) const;
};

}  // namespace vistarail::sim
