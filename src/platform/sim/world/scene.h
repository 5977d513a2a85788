#pragma once
// A flat picture of the simulated desktop at one instant, for the renderer:
// what a person would see, without any of the world's bookkeeping.

#include <string>
#include <vector>

#include "base/geometry.h"
#include "platform/overlay_panels.h"
#include "platform/sim/world/display_list.h"

namespace vistarail::sim {

struct SceneDisplay {
  std::string name;
  Rect frame;         // top-left space
  Rect visibleFrame;  // without menu bar and Dock, top-left space
  bool isPrimary = false;
};

struct SceneWindow {
  std::string title;
  std::string appName;
  Rect frame;  // top-left space; may lie mostly off every display
  bool focused = false;
  bool floating = false;  // dialogs, panels: drawn with a lighter frame
};

// One of the program's own overlay panels, with what its view last drew.
struct ScenePanel {
  Rect frame;  // top-left space
  int level = kNormalWindowLevel;
  double alpha = 0;
  PanelBackground background = PanelBackground::none;
  double cornerRadius = 0;
  bool hasShadow = false;
  DisplayList drawing;
  // How many of the scene's windows lie behind it: it is drawn after that
  // many windows (0: behind them all).
  size_t windowsBehind = 0;
};

struct Scene {
  std::vector<SceneDisplay> displays;
  // Back to front.
  std::vector<SceneWindow> windows;
  // Back to front among themselves; placed between the windows by windowsBehind.
  std::vector<ScenePanel> panels;
};

}  // namespace vistarail::sim
