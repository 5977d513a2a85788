// Steps the user's hands take: the pointer, keys (through the bindings or as
// real presses the hot-key service hears), trackpad swipes, scrolls with or
// without modifiers, windows dragged by hand, clicks, and the minimap clicked
// and dragged on.

#include <cmath>
#include <sstream>

#include "input/action.h"
#include "input/bindings.h"
#include "overlays/minimap_layout.h"
#include "overlays/minimap_view.h"
#include "platform/event_taps.h"
#include "sim_runner/json_values.h"
#include "sim_runner/scenario.h"
#include "sim_runner/session.h"
#include "sim_runner/steps.h"

namespace vistarail::simrun::steps {

namespace {

constexpr double kFrameSeconds = 1.0 / 60;

// "ctrl+opt", "cmd", "" as event flags.
uint64_t eventFlags(const std::string& text) {
  uint64_t flags = 0;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, '+')) {
    if (part == "ctrl" || part == "control") flags |= kEventFlagMaskControl;
    if (part == "opt" || part == "option" || part == "alt") flags |= kEventFlagMaskAlternate;
    if (part == "shift") flags |= kEventFlagMaskShift;
    if (part == "cmd" || part == "command") flags |= kEventFlagMaskCommand;
  }
  return flags;
}

// The display's minimap while it shows, with its blocks.
struct ShownMinimap {
  MinimapView* view = nullptr;
  std::vector<minimap::Block> blocks;
  std::optional<Point> centreOf(WindowId window) const {
    for (const auto& block : blocks) {
      if (block.window() == window) return block.rect.center();
    }
    return std::nullopt;
  }
};
std::optional<ShownMinimap> shownMinimap(Session& s, const std::string& display) {
  if (!s.manager()) return std::nullopt;
  OverlayController* overlays = s.manager()->overlays(s.displaySetup(display).uuid);
  if (!overlays || !overlays->visibleMinimap() || !overlays->minimapView()) return std::nullopt;
  MinimapView& view = *overlays->minimapView();
  if (!view.snapshot) return std::nullopt;
  return ShownMinimap{&view,
                      minimap::blocks(*view.snapshot, view.boundsSize().width, view.maxWidth)};
}

WindowId numberOf(Session& s, const Json& windowName) {
  const auto key = s.keyOf(windowName);
  const auto w = key ? s.desktop().world.window(*key) : std::nullopt;
  return w ? w->number.value_or(0) : 0;
}

}  // namespace

uint64_t eventFlagsOfMask(uint32_t mask) {
  uint64_t flags = 0;
  if (mask & kControlKeyMask) flags |= kEventFlagMaskControl;
  if (mask & kOptionKeyMask) flags |= kEventFlagMaskAlternate;
  if (mask & kShiftKeyMask) flags |= kEventFlagMaskShift;
  if (mask & kCommandKeyMask) flags |= kEventFlagMaskCommand;
  return flags;
}

void pointer(Session& s, const Json& step) {
  s.desktop().world.movePointer(pointOf(step["point"]));
  s.note("user", "moves the pointer to " + step["point"].dump());
}

void key(Session& s, const Json& step) {
  const KeyPress press = *parseKeyPress(step["keys"]);
  const std::string text = "presses " + step["keys"].get<std::string>();
  std::optional<Action> bound;
  if (s.settings()) {
    bound = actionForCombo(s.settings()->bindings.value(), {press.keyCode, press.modifiers});
  }
  if (!s.manager() || !bound) {
    s.user(text + (s.manager() ? " (no shortcut)" : " (the program is not running)"), false);
    return;
  }
  s.note("command", text + ": " + std::string(rawValue(*bound)));
  s.manager()->perform(*bound);
}

void press(Session& s, const Json& step) {
  // A real key press: the hot-key service hands it to the program when the
  // combination is registered, else it goes to the frontmost application.
  const KeyPress press = *parseKeyPress(step["keys"]);
  s.desktop().world.pressKey(press.keyCode, eventFlagsOfMask(press.modifiers));
  s.note("user", "presses " + step["keys"].get<std::string>() + " on the keyboard");
}

void swipe(Session& s, const Json& step) {
  // Fingers moving together across the pad, one event per frame; a fast
  // swipe carries on after the fingers lift.
  const int fingers = step.value("fingers", 3);
  const double distance = step.value("distance", 0.3);
  const int events = step.value("events", 12);
  sim::World& world = s.desktop().world;
  double x = distance < 0 ? 0.8 : 0.2;
  for (int e = 0; e < events; ++e) {
    GestureTouches touches;
    for (int f = 0; f < fingers; ++f) {
      touches.add({.normalizedPosition = {x + 0.03 * f, 0.5}, .phase = kTouchPhaseMoved});
    }
    world.schedule(e * kFrameSeconds, [&world, touches] { world.touchPad(touches); });
    x += distance / events;
  }
  if (step.value("lift", true)) {
    world.schedule(events * kFrameSeconds, [&world] { world.touchPad(GestureTouches()); });
  }
  s.note("user", "swipes " + std::to_string(fingers) + " fingers by " + std::to_string(distance));
}

void scroll(Session& s, const Json& step) {
  sim::World& world = s.desktop().world;
  if (step.contains("point")) world.movePointer(pointOf(step["point"]));
  const bool wheel = step.value("wheel", false);
  const uint64_t flags = eventFlags(step.value("modifiers", std::string("ctrl+opt")));
  const Json& deltas = step["deltas"];
  const size_t count = deltas.is_array() ? deltas.size() : 0;
  for (size_t e = 0; e < count; ++e) {
    sim::ScrollInput input;
    input.deltaX = deltas[e].is_number() ? deltas[e].get<double>() : 0;
    input.continuous = !wheel;
    input.phase = wheel ? 0 : (e == 0 ? 1 : (e + 1 == count ? 4 : 2));
    input.flags = flags;
    world.schedule(static_cast<double>(e) * kFrameSeconds,
                   [&world, input] { world.scroll(input); });
  }
  // A trackpad's scroll carries on after the fingers lift, slowing down.
  const int momentum = wheel ? 0 : step.value("momentum", 0);
  const double last = count ? deltas[count - 1].get<double>() : 0;
  for (int m = 0; m < momentum; ++m) {
    sim::ScrollInput input;
    input.deltaX = last * std::pow(0.8, m + 1);
    input.momentumPhase = m == 0 ? 1 : (m + 1 == momentum ? 3 : 2);
    input.flags = flags;
    world.schedule(static_cast<double>(count + static_cast<size_t>(m)) * kFrameSeconds,
                   [&world, input] { world.scroll(input); });
  }
  s.note("user", std::string(wheel ? "turns the wheel " : "scrolls ") + deltas.dump() +
                     (flags ? " holding " + step.value("modifiers", std::string("ctrl+opt")) : ""));
}

void handDrag(Session& s, const Json& step) {
  const auto key = s.keyOf(step["window"]);
  const bool done =
      key && s.desktop().world.handDrag(*key, rectOf(step["frame"]), step.value("moves", 6));
  s.user("drags " + step["window"].get<std::string>() + " by hand to " + step["frame"].dump(),
         done);
}

void click(Session& s, const Json& step) {
  sim::World& world = s.desktop().world;
  const Point at = pointOf(step["point"]);
  world.movePointer(at);
  world.pressButton(at);
  world.schedule(0.08, [&world, at] { world.releaseButton(at); });
  s.note("user", "clicks at " + step["point"].dump());
}

void minimapClick(Session& s, const Json& step) {
  const std::string what = "clicks " + step["window"].get<std::string>() + " on the minimap";
  const auto shown = shownMinimap(s, step["display"]);
  const auto at = shown ? shown->centreOf(numberOf(s, step["window"])) : std::nullopt;
  if (!at) return s.user(what + " (no minimap shows it)", false);
  shown->view->mouseDown(*at);
  shown->view->mouseUp(*at);
  s.note("user", what);
}

void minimapDrop(Session& s, const Json& step) {
  const std::string what = "drags " + step["window"].get<std::string>() + " on the minimap to " +
                           step["target"].get<std::string>();
  const auto shown = shownMinimap(s, step["display"]);
  const auto from = shown ? shown->centreOf(numberOf(s, step["window"])) : std::nullopt;
  const auto to = shown ? shown->centreOf(numberOf(s, step["target"])) : std::nullopt;
  if (!from || !to) return s.user(what + " (no minimap shows both)", false);
  const Point drop{to->x + (step.value("after", true) ? 4.0 : -4.0), to->y};
  shown->view->mouseDown(*from);
  shown->view->mouseDragged({(from->x + drop.x) / 2, (from->y + drop.y) / 2});
  shown->view->mouseDragged(drop);
  shown->view->mouseUp(drop);
  s.note("user", what);
}

}  // namespace vistarail::simrun::steps
