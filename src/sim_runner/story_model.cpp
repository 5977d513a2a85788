#include "sim_runner/story_model.h"

#include <algorithm>
#include <variant>

#include "app/settings_table.h"
#include "settings_ui/settings_tab.h"

namespace vistarail::simrun {

namespace {
template <class V>
V* findNamed(std::vector<std::pair<std::string, V>>& items, const std::string& name) {
  for (auto& [n, v] : items) {
    if (n == name) return &v;
  }
  return nullptr;
}
}  // namespace

StoryModel::App* StoryModel::app(const std::string& name) {
  return findNamed(apps, name);
}
StoryModel::Window* StoryModel::window(const std::string& name) {
  return findNamed(windows, name);
}
StoryModel::Display* StoryModel::display(const std::string& name) {
  return findNamed(displays, name);
}

StoryModel StoryModel::fromHeader(const Json& header) {
  StoryModel model;
  for (const Json& d : header.value("displays", Json::array())) {
    model.displays.push_back(
        {d.value("name", ""), {d.value("plugged", true), d.value("spaces", 1)}});
  }
  for (const Json& a : header.value("apps", Json::array())) {
    model.apps.push_back({a.value("name", ""), {a.value("launched", true), false}});
  }
  for (const Json& w : header.value("windows", Json::array())) {
    model.windows.push_back({w.value("window", ""), {w.value("app", ""), true, false, false}});
  }
  if (header.contains("settings") && header["settings"].value("enabled", true) == false) {
    model.paused = true;
  }
  return model;
}

std::optional<std::string> StoryModel::apply(const Step& step) {
  const Json& s = step.source;
  const std::string& k = step.kind;
  auto needApp = [&](bool running) -> std::variant<App*, std::string> {
    const std::string name = s["app"];
    App* a = app(name);
    if (!a) return "no application is named \"" + name + "\"";
    if (a->running != running) {
      return "\"" + name + "\" is " + (a->running ? "already running" : "not running");
    }
    return a;
  };
  auto needWindow = [&]() -> std::variant<Window*, std::string> {
    const std::string name = s["window"];
    Window* w = window(name);
    if (!w || !w->open) return "no open window is named \"" + name + "\"";
    return w;
  };
  auto needDisplay = [&](std::optional<bool> plugged) -> std::variant<Display*, std::string> {
    const std::string name = s["display"];
    Display* d = display(name);
    if (!d) return "no display is named \"" + name + "\"";
    if (plugged && d->plugged != *plugged) {
      return "\"" + name + "\" is " + (d->plugged ? "already plugged in" : "not plugged in");
    }
    return d;
  };
#define NEED(var, expr)                                       \
  auto var##_ = (expr);                                       \
  if (auto* e = std::get_if<std::string>(&var##_)) return *e; \
  auto* var = std::get<0>(var##_)

  if (k == "launch") {
    NEED(a, needApp(false));
    a->running = true;
    a->hidden = false;
  } else if (k == "quit") {
    NEED(a, needApp(true));
    a->running = false;
    for (auto& [name, w] : windows) {
      if (w.app == s["app"]) w.open = false;
    }
  } else if (k == "hide" || k == "unhide" || k == "activate") {
    NEED(a, needApp(true));
    if (k != "activate") a->hidden = k == "hide";
  } else if (k == "open") {
    NEED(a, needApp(true));
    (void)a;
    const std::string name = s["window"];
    Window* w = window(name);
    if (w && w->open) return "a window named \"" + name + "\" is already open";
    if (w) {
      *w = {s["app"], true, false, false};
    } else {
      windows.push_back({name, {s["app"], true, false, false}});
    }
  } else if (k == "close") {
    NEED(w, needWindow());
    w->open = false;
  } else if (k == "minimise" || k == "unminimise") {
    NEED(w, needWindow());
    w->minimised = k == "minimise";
  } else if (k == "fullScreen" || k == "exitFullScreen") {
    NEED(w, needWindow());
    w->fullScreen = k == "fullScreen";
  } else if (k == "focus" || k == "drag" || k == "resize" || k == "appMove" || k == "handDrag") {
    NEED(w, needWindow());
    (void)w;
  } else if (k == "switchSpace") {
    NEED(d, needDisplay(true));
    if (s["space"].get<int>() > d->spaces) {
      return "display \"" + s["display"].get<std::string>() + "\" has " +
             std::to_string(d->spaces) + " Space(s)";
    }
  } else if (k == "addSpace") {
    NEED(d, needDisplay(true));
    ++d->spaces;
  } else if (k == "plug" || k == "unplug") {
    NEED(d, needDisplay(k == "unplug"));
    d->plugged = k == "plug";
    if (k == "unplug") {
      const bool anyLeft = std::any_of(displays.begin(), displays.end(),
                                       [](const auto& p) { return p.second.plugged; });
      if (!anyLeft) return "the last display cannot be unplugged";
    }
  } else if (k == "arrange") {
    NEED(d, needDisplay(true));
    (void)d;
  } else if (k == "behave") {
    const std::string name = s["app"];
    if (!app(name)) return "no application is named \"" + name + "\"";
  } else if (k == "set") {
    if (auto wrong = checkSetting(s["setting"], s["value"])) return *wrong;
    if (s["setting"] == "enabled") paused = !s["value"].get<bool>();
  } else if (k == "pause" || k == "resume") {
    if (!managerRunning) return "the program is stopped";
    paused = k == "pause";
  } else if (k == "stop") {
    if (!managerRunning) return "the program is already stopped";
    managerRunning = false;
  } else if (k == "start") {
    if (managerRunning) return "the program is already running";
    managerRunning = true;
  } else if (k == "settings" || k == "operate" || k == "record" || k == "closeSettings") {
    if (!managerRunning) return "the program is stopped";
    if (k == "settings" && s.contains("tab") && !settingsTabFromRaw(s["tab"].get<std::string>()))
      return "no settings tab is called \"" + s["tab"].get<std::string>() + "\"";
    if (k == "record") {
      const Json& presses = s["presses"];
      if (!presses.is_array() || presses.empty()) return "\"presses\" should be a list of keys";
      for (const Json& each : presses) {
        if (!each.is_string() || !parseKeyPress(each.get<std::string>()))
          return "\"presses\" holds " + each.dump() + ", not keys like \"ctrl+opt+a\"";
      }
    }
  } else if (k == "refuse") {
    const std::string service = s["service"];
    if (service != "loginItem" && service != "updater" && service != "updaterBusy")
      return "\"service\" is loginItem, updater or updaterBusy";
    if (s.contains("description") && !s["description"].is_string() && !s["description"].is_null())
      return "\"description\" should be a text or null";
  } else if (k == "menu" || k == "sigterm" || k == "reopen") {
    if (!managerRunning) return "the program is stopped";
    if (k == "sigterm" || s.value("choose", std::string()) == "Quit Vistarail")
      managerRunning = false;
  } else if (k == "snapshot") {
    const std::string name = s["name"];
    if (name == "end") return "\"end\" is the name of the final state";
    if (!snapshots.insert(name).second)
      return "a snapshot named \"" + name + "\" was already taken";
  }
#undef NEED
  return std::nullopt;
}

}  // namespace vistarail::simrun
