// Steps that happen to the desktop: applications launched, quit, hidden and
// changing how they behave; windows opened, closed and moved by their users
// or their applications; displays plugged, unplugged and rearranged.

#include "platform/ax_names.h"
#include "sim_runner/json_values.h"
#include "sim_runner/session.h"
#include "sim_runner/steps.h"

namespace vistarail::simrun::steps {

namespace {

std::string str(const Json& v) {
  return v.get<std::string>();
}

sim::WindowKey windowKey(Session& s, const Json& step) {
  return s.keyOf(step["window"]).value_or(0);
}

}  // namespace

void launch(Session& s, const Json& step) {
  sim::AppSetup& setup = s.appSetup(step["app"]);
  const Pid pid = s.desktop().world.launchApp(
      setup, step.value("front", true) ? sim::LaunchActivation::activates
                                       : sim::LaunchActivation::staysInBackground);
  s.nameApp(step["app"], pid);
  s.user("launches " + setup.name, pid != 0);
}

void quit(Session& s, const Json& step) {
  s.user("quits " + str(step["app"]), s.desktop().world.quitApp(s.pidOf(step["app"])));
}

void hide(Session& s, const Json& step) {
  s.user("hides " + str(step["app"]), s.desktop().world.hideApp(s.pidOf(step["app"])));
}

void unhide(Session& s, const Json& step) {
  s.user("shows " + str(step["app"]), s.desktop().world.unhideApp(s.pidOf(step["app"])));
}

void activate(Session& s, const Json& step) {
  s.user("brings " + str(step["app"]) + " to the front",
         s.desktop().world.activateApp(s.pidOf(step["app"])));
}

void behave(Session& s, const Json& step) {
  sim::AppSetup& setup = s.appSetup(step["app"]);
  setup.behaviour = behaviourOf(step["behaviour"]);
  s.desktop().world.setBehaviour(s.pidOf(step["app"]), setup.behaviour);
  s.note("app", setup.name + " now behaves " + step["behaviour"].dump());
}

void open(Session& s, const Json& step) {
  const std::string name = step["window"];
  sim::WindowSetup setup;
  setup.title = step.value("title", name);
  setup.frame = step.contains("frame") ? rectOf(step["frame"]) : Rect{100, 100, 700, 500};
  const std::string kind = step.value("kind", std::string("standard"));
  if (kind == "dialog") setup.subrole = std::string(ax::kDialogSubrole);
  if (kind == "floating") setup.subrole = std::string(ax::kFloatingWindowSubrole);
  if (step.contains("minSize")) setup.minSize = sizeOf(step["minSize"]);
  if (step.contains("maxSize")) setup.maxSize = sizeOf(step["maxSize"]);
  setup.sizeSettable = step.value("sizeSettable", true);
  setup.positionSettable = step.value("positionSettable", true);
  setup.onAllSpaces = step.value("allSpaces", false);
  const sim::WindowKey key = s.desktop().world.openWindow(
      s.pidOf(step["app"]), setup,
      step.value("behind", false) ? sim::WindowFocus::staysBehind : sim::WindowFocus::takesFocus);
  if (key) s.nameWindow(name, key);
  s.user(str(step["app"]) + " opens " + name, key != 0);
}

void close(Session& s, const Json& step) {
  s.user("closes " + str(step["window"]), s.desktop().world.closeWindow(windowKey(s, step)));
}

void minimise(Session& s, const Json& step) {
  s.user("minimises " + str(step["window"]), s.desktop().world.minimizeWindow(windowKey(s, step)));
}

void unminimise(Session& s, const Json& step) {
  s.user("brings back " + str(step["window"]),
         s.desktop().world.unminimizeWindow(windowKey(s, step)));
}

void focus(Session& s, const Json& step) {
  s.user("clicks " + str(step["window"]), s.desktop().world.focusWindow(windowKey(s, step)));
}

void fullScreen(Session& s, const Json& step) {
  s.user("makes " + str(step["window"]) + " full screen",
         s.desktop().world.enterFullScreen(windowKey(s, step)));
}

void exitFullScreen(Session& s, const Json& step) {
  s.user("leaves full screen with " + str(step["window"]),
         s.desktop().world.exitFullScreen(windowKey(s, step)));
}

void drag(Session& s, const Json& step) {
  const bool done = s.desktop().world.dragWindow(windowKey(s, step), rectOf(step["frame"]));
  s.user((step["do"] == "drag" ? "drags " : "resizes ") + str(step["window"]) + " to " +
             step["frame"].dump(),
         done);
}

void appMove(Session& s, const Json& step) {
  const sim::WindowKey key = windowKey(s, step);
  const bool done = s.desktop().world.appMovesWindow(key, rectOf(step["frame"]));
  const auto w = s.desktop().world.window(key);
  s.note(done ? "app" : "skipped", (w ? s.appName(w->pid) : std::string("its application")) +
                                       " moves " + str(step["window"]) + " to " +
                                       step["frame"].dump());
}

void switchSpace(Session& s, const Json& step) {
  const std::string name = step["display"];
  const auto number = s.displayOf(name);
  const auto display = number ? s.desktop().world.display(*number) : std::nullopt;
  const size_t index = step["space"].get<size_t>();
  const bool done = display && index <= display->spaces.size() &&
                    s.desktop().world.switchSpace(*number, display->spaces[index - 1].id);
  s.user("switches " + name + " to Space " + std::to_string(index), done);
}

void addSpace(Session& s, const Json& step) {
  const std::string name = step["display"];
  const auto number = s.displayOf(name);
  s.user("adds a Space to " + name, number && s.desktop().world.addSpace(*number) != 0);
}

void plug(Session& s, const Json& step) {
  const std::string name = step["display"];
  const DisplayNumber number = s.desktop().world.plugDisplay(s.displaySetup(name));
  s.nameDisplay(name, number ? std::optional<DisplayNumber>(number) : std::nullopt);
  s.user("plugs in " + name, number != 0);
}

void unplug(Session& s, const Json& step) {
  const std::string name = step["display"];
  s.user("unplugs " + name, s.desktop().world.unplugDisplay(s.displayOf(name).value_or(0)));
  s.nameDisplay(name, std::nullopt);
}

void arrange(Session& s, const Json& step) {
  const std::string name = step["display"];
  const Rect frame = rectOf(step["frame"]);
  const Rect visible = step.contains("visibleFrame") ? rectOf(step["visibleFrame"]) : frame;
  s.displaySetup(name).frame = frame;
  s.displaySetup(name).visibleFrame = visible;
  s.user("moves " + name + " to " + step["frame"].dump(),
         s.desktop().world.setDisplayFrames(s.displayOf(name).value_or(0), frame, visible));
}

}  // namespace vistarail::simrun::steps
