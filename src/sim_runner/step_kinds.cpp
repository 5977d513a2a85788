#include "sim_runner/step_kinds.h"

#include <algorithm>

#include "sim_runner/steps.h"

namespace vistarail::simrun {

const std::vector<StepKind>& stepKinds() {
  using V = ValueType;
  static const std::vector<StepKind> table = {
      // Applications (steps_world.cpp)
      {"launch", {{"app", V::string, true}, {"front", V::boolean, false}}, steps::launch},
      {"quit", {{"app", V::string, true}}, steps::quit},
      {"hide", {{"app", V::string, true}}, steps::hide},
      {"unhide", {{"app", V::string, true}}, steps::unhide},
      {"activate", {{"app", V::string, true}}, steps::activate},
      {"behave", {{"app", V::string, true}, {"behaviour", V::behaviour, true}}, steps::behave},
      // Windows (steps_world.cpp)
      {"open",
       {{"window", V::string, true},
        {"app", V::string, true},
        {"title", V::string, false},
        {"frame", V::rect, false},
        {"kind", V::windowKind, false},
        {"minSize", V::size, false},
        {"maxSize", V::size, false},
        {"behind", V::boolean, false},
        {"sizeSettable", V::boolean, false},
        {"positionSettable", V::boolean, false},
        {"allSpaces", V::boolean, false}},
       steps::open},
      {"close", {{"window", V::string, true}}, steps::close},
      {"minimise", {{"window", V::string, true}}, steps::minimise},
      {"unminimise", {{"window", V::string, true}}, steps::unminimise},
      {"focus", {{"window", V::string, true}}, steps::focus},
      {"fullScreen", {{"window", V::string, true}}, steps::fullScreen},
      {"exitFullScreen", {{"window", V::string, true}}, steps::exitFullScreen},
      {"drag", {{"window", V::string, true}, {"frame", V::rect, true}}, steps::drag},
      {"resize", {{"window", V::string, true}, {"frame", V::rect, true}}, steps::drag},
      {"appMove", {{"window", V::string, true}, {"frame", V::rect, true}}, steps::appMove},
      // Displays and Spaces (steps_world.cpp)
      {"switchSpace",
       {{"display", V::string, true}, {"space", V::count, true}},
       steps::switchSpace},
      {"addSpace", {{"display", V::string, true}}, steps::addSpace},
      {"plug", {{"display", V::string, true}}, steps::plug},
      {"unplug", {{"display", V::string, true}}, steps::unplug},
      {"arrange",
       {{"display", V::string, true}, {"frame", V::rect, true}, {"visibleFrame", V::rect, false}},
       steps::arrange},
      // The user's hands (steps_input.cpp)
      {"pointer", {{"point", V::point, true}}, steps::pointer},
      {"key", {{"keys", V::keys, true}}, steps::key},
      {"press", {{"keys", V::keys, true}}, steps::press},
      {"swipe",
       {{"fingers", V::count, false},
        {"distance", V::number, false},
        {"events", V::count, false},
        {"lift", V::boolean, false}},
       steps::swipe},
      {"scroll",
       {{"point", V::point, false},
        {"deltas", V::any, true},
        {"wheel", V::boolean, false},
        {"modifiers", V::string, false},
        {"momentum", V::count, false}},
       steps::scroll},
      {"handDrag",
       {{"window", V::string, true}, {"frame", V::rect, true}, {"moves", V::count, false}},
       steps::handDrag},
      {"click", {{"point", V::point, true}}, steps::click},
      {"minimapClick",
       {{"display", V::string, true}, {"window", V::string, true}},
       steps::minimapClick},
      {"minimapDrop",
       {{"display", V::string, true},
        {"window", V::string, true},
        {"target", V::string, true},
        {"after", V::boolean, false}},
       steps::minimapDrop},
      // The program (steps_program.cpp)
      {"action", {{"action", V::action, true}}, steps::action},
      {"set", {{"setting", V::string, true}, {"value", V::any, true}}, steps::set},
      {"pause", {}, steps::pause},
      {"resume", {}, steps::resume},
      {"stop", {}, steps::stop},
      {"start", {}, steps::start},
      {"store", {{"key", V::string, true}, {"value", V::any, true}}, steps::store},
      // The program itself, as a person meets it (session_shell.cpp)
      {"grant", {}, steps::grant},
      {"menu", {{"choose", V::string, true}}, steps::menu},
      {"sigterm", {}, steps::sigterm},
      {"reopen", {}, steps::reopen},
      // The settings window and the system services behind it (steps_settings.cpp)
      {"settings", {{"tab", V::string, false}}, steps::settings},
      {"operate", {{"control", V::string, true}, {"value", V::any, false}}, steps::operate},
      {"record", {{"action", V::action, true}, {"presses", V::any, true}}, steps::record},
      {"closeSettings", {}, steps::closeSettings},
      {"refuse", {{"service", V::string, true}, {"description", V::any, false}}, steps::refuse},
      {"wait", {{"seconds", V::seconds, true}}, steps::wait},
      {"snapshot", {{"name", V::string, true}}, steps::snapshot},
      // The control socket (steps_control.cpp)
      {"request", {{"request", V::any, true}, {"reply", V::object, false}}, steps::request},
      {"subscribe", {{"only", V::any, false}, {"reply", V::object, false}}, steps::subscribe},
  };
  return table;
}

const StepKind* findStepKind(std::string_view name) {
  const auto& table = stepKinds();
  auto found = std::find_if(table.begin(), table.end(),
                            [&](const StepKind& kind) { return name == kind.name; });
  return found == table.end() ? nullptr : &*found;
}

}  // namespace vistarail::simrun
