#include "demo_desktop.h"

#include <string>
#include <utility>

#include "platform/ax_names.h"

namespace vistarail::sim {

namespace {

// A laptop panel with a notch (taller menu bar) and the Dock, and an external
// monitor to its right with a menu bar of its own and no Dock.
constexpr Rect kBuiltInFrame{0, 0, 1728, 1117};
constexpr double kBuiltInMenuBarPoints = 37;
constexpr double kDockPoints = 80;
constexpr Rect kExternalFrame{1728, 0, 1920, 1080};
constexpr double kExternalMenuBarPoints = 25;
constexpr double kGapPoints = 8;
// What a parked window leaves inside the display edge.
constexpr double kSliverPoints = 1;

Rect belowMenuBar(const Rect& frame, double menuBarPoints, double dockPoints) {
  return Rect(frame.minX(), frame.minY() + menuBarPoints, frame.width(),
              frame.height() - menuBarPoints - dockPoints);
}

// A column of the strip: full usable height, inset by the gap.
Rect column(const Rect& visible, double x, double width) {
  return Rect(x, visible.minY() + kGapPoints, width, visible.height() - 2 * kGapPoints);
}

DisplaySetup display(std::string name, Rect frame, Rect visibleFrame) {
  DisplaySetup result;
  result.name = std::move(name);
  result.frame = frame;
  result.visibleFrame = visibleFrame;
  return result;
}

AppSetup app(std::string bundleIdentifier, std::string name) {
  AppSetup result;
  result.bundleIdentifier = std::move(bundleIdentifier);
  result.name = std::move(name);
  return result;
}

WindowSetup window(std::string title, Rect frame) {
  WindowSetup result;
  result.title = std::move(title);
  result.frame = frame;
  return result;
}

}  // namespace

void buildDemoDesktop(World& world) {
  const Rect builtInVisible = belowMenuBar(kBuiltInFrame, kBuiltInMenuBarPoints, kDockPoints);
  const Rect externalVisible = belowMenuBar(kExternalFrame, kExternalMenuBarPoints, 0);
  world.plugDisplay(display("Built-in Retina Display", kBuiltInFrame, builtInVisible));
  world.plugDisplay(display("External Display", kExternalFrame, externalVisible));

  const Pid safari = world.launchApp(app("com.apple.Safari", "Safari"));
  const Pid terminal = world.launchApp(app("com.apple.Terminal", "Terminal"));
  const Pid xcode = world.launchApp(app("com.apple.dt.Xcode", "Xcode"));
  const Pid notes = world.launchApp(app("com.apple.Notes", "Notes"));
  const Pid mail = world.launchApp(app("com.apple.mail", "Mail"));

  const double left = builtInVisible.minX() + kGapPoints;
  world.openWindow(safari, window("Release Notes", column(builtInVisible, left, 850)));
  const WindowKey shell = world.openWindow(
      terminal, window("zsh — 120×40", column(builtInVisible, left + 850 + kGapPoints, 854)));
  WindowSetup dialog = window("Save As", {230, 380, 460, 300});
  dialog.subrole = std::string(ax::kDialogSubrole);
  world.openWindow(safari, dialog);

  const double externalLeft = externalVisible.minX() + kGapPoints;
  world.openWindow(xcode,
                   window("Vistarail — strip.cpp", column(externalVisible, externalLeft, 1100)));
  world.openWindow(
      notes, window("Groceries", column(externalVisible, externalLeft + 1100 + kGapPoints, 796)));
  // Parked: all but one point lies beyond the right edge of the right display.
  world.openWindow(
      mail, window("Inbox", column(externalVisible, kExternalFrame.maxX() - kSliverPoints, 900)),
      WindowFocus::staysBehind);

  world.focusWindow(shell);
}

void buildDemoFollowUp(World& world) {
  for (const SimApp& app : world.apps()) {
    if (app.name == "Terminal") {
      world.openWindow(app.pid, window("zsh — build", {400, 200, 700, 600}));
    }
  }
}

}  // namespace vistarail::sim
