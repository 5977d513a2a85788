#pragma once
// A flat picture of the simulated desktop at one instant, for the renderer:
// what a person would see, without any of the world's bookkeeping.

#include <string>
#include <vector>

#include "base/geometry.h"

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

struct Scene {
  std::vector<SceneDisplay> displays;
  // Back to front.
  std::vector<SceneWindow> windows;
};

}  // namespace vistarail::sim
