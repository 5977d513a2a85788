// Steps that speak to the program: commands chosen from its menu, settings
// changed, management paused and resumed, the program quit and launched
// again, stored data edited between runs, and time passing.

#include "app/settings_table.h"
#include "input/action.h"
#include "sim_runner/session.h"
#include "sim_runner/steps.h"

namespace vistarail::simrun::steps {

void action(Session& s, const Json& step) {
  const std::string name = step["action"];
  const auto chosen = actionFromRaw(name);
  if (!s.manager() || !chosen) {
    s.user("chooses " + name + " (the program is not running)", false);
    return;
  }
  s.note("command", "chooses " + name + ": " + std::string(rawValue(*chosen)));
  s.manager()->perform(*chosen);
}

void set(Session& s, const Json& step) {
  const std::string property = step["setting"];
  if (AppSettings* settings = s.settings()) {
    assignSetting(*settings, property, step["value"]);
    s.note("setting", property + " = " + step["value"].dump());
    return;
  }
  // The program is not running: the change goes to the stored defaults
  // through a store of its own, as the settings window of a later launch
  // would have written it.
  sim::Desktop& d = s.desktop();
  const auto displays = DisplayInfo::all(d.workspace, d.windowServer);
  AppSettings offline(d.defaults,
                      displays.empty() ? std::nullopt : std::optional<std::string>(displays[0].id));
  assignSetting(offline, property, step["value"]);
  s.note("setting", property + " = " + step["value"].dump() + " (stored while stopped)");
}

void pause(Session& s, const Json&) {
  if (!s.settings()) return s.user("pause (the program is not running)", false);
  s.settings()->enabled.set(false);
  s.note("user", "pauses the program");
}

void resume(Session& s, const Json&) {
  if (!s.settings()) return s.user("resume (the program is not running)", false);
  s.settings()->enabled.set(true);
  s.note("user", "resumes the program");
}

void stop(Session& s, const Json&) {
  if (s.manager()) s.stopProgram();
}

void start(Session& s, const Json&) {
  if (!s.manager()) s.startProgram(/*firstLaunch=*/false);
}

void store(Session& s, const Json& step) {
  // What another copy of the program, an old version or a damaged disk left
  // in the stored defaults; read at the next launch.
  const std::string key = step["key"];
  if (step["value"].is_null()) {
    s.desktop().defaults.remove(key);
  } else {
    s.desktop().defaults.set(key, step["value"]);
  }
  s.note("stored", key + " = " + step["value"].dump());
}

void wait(Session& s, const Json& step) {
  s.waitFor(step["seconds"].get<double>());
}

void snapshot(Session& s, const Json& step) {
  s.note("snapshot", step["name"]);
}

void grant(Session& s, const Json&) {
  s.grantAccessibility();
}

void menu(Session& s, const Json& step) {
  s.approachProgram(Session::Approach::menu, step["choose"].get<std::string>());
}

void sigterm(Session& s, const Json&) {
  s.approachProgram(Session::Approach::sigterm);
}

void reopen(Session& s, const Json&) {
  s.approachProgram(Session::Approach::reopen);
}

}  // namespace vistarail::simrun::steps
