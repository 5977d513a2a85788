// Whether a run met what its scenario expects: each expectation is judged
// against the state recorded at the moment it names.

#include <algorithm>
#include <cmath>

#include "sim_runner/run.h"

namespace vistarail::simrun {

using Json = nlohmann::json;

std::vector<std::string> unmetExpectations(const Json& expect,
                                           const std::map<std::string, Json>& states) {
  std::vector<std::string> unmet;
  if (!expect.is_array()) return unmet;
  for (size_t i = 0; i < expect.size(); ++i) {
    const Json& e = expect[i];
    const std::string at = e.value("at", std::string("end"));
    const std::string where = "expect[" + std::to_string(i) + "] at \"" + at + "\": ";
    auto found = states.find(at);
    if (found == states.end()) {
      unmet.push_back(where + "no snapshot of that name was taken");
      continue;
    }
    const Json& state = found->second;
    auto windowState = [&](const std::string& name) -> const Json* {
      for (const Json& w : state["windows"]) {
        if (w["name"] == name) return &w;
      }
      return nullptr;
    };
    auto eachWindow = [&](const char* key, const char* field, bool wanted, const char* meaning) {
      for (const Json& name : e[key]) {
        const Json* w = windowState(name.get<std::string>());
        const bool actual = w && (*w)[field].get<bool>() &&
                            (std::string(key) != "floating" || (*w)["tracked"].get<bool>());
        if (actual != wanted)
          unmet.push_back(where + name.get<std::string>() + " is not " + meaning);
      }
    };
    if (e.contains("columns")) {
      const std::string display = e.value("display", std::string());
      Json actual;
      for (const Json& d : state["displays"]) {
        if (!display.empty() && d["name"] != display) continue;
        for (const Json& s : d["spaces"]) {
          if (!s["current"].get<bool>()) continue;
          actual = Json::array();
          for (const Json& c : s["columns"]) actual.push_back(c["windows"]);
        }
        break;
      }
      if (actual != e["columns"]) {
        unmet.push_back(where + "the strip of " +
                        (display.empty() ? "the first display" : "\"" + display + "\"") + " is " +
                        (actual.is_null() ? "missing" : actual.dump()) + ", expected " +
                        e["columns"].dump());
      }
    } else if (e.contains("focused")) {
      if (state["focused"] != e["focused"]) {
        unmet.push_back(where + "the focused window is " + state["focused"].dump() + ", expected " +
                        e["focused"].dump());
      }
    } else if (e.contains("tiled")) {
      eachWindow("tiled", "tiled", true, "tiled");
    } else if (e.contains("floating")) {
      // Known to the program and left out of every strip.
      for (const Json& name : e["floating"]) {
        const Json* w = windowState(name.get<std::string>());
        if (!w || !(*w)["tracked"].get<bool>() || (*w)["tiled"].get<bool>()) {
          unmet.push_back(where + name.get<std::string>() +
                          " is not a floating window the program knows");
        }
      }
    } else if (e.contains("inView")) {
      eachWindow("inView", "inView", true, "in view");
    } else if (e.contains("parked")) {
      eachWindow("parked", "parked", true, "parked");
    } else if (e.contains("onDisplay")) {
      // Most of the window on the named display.
      const std::string display = e.value("display", std::string());
      std::optional<Rect> screen;
      for (const Json& d : state["screens"]) {
        if (d["name"] == display) {
          const Json& f = d["frame"];
          screen =
              Rect{f[0].get<double>(), f[1].get<double>(), f[2].get<double>(), f[3].get<double>()};
        }
      }
      for (const Json& name : e["onDisplay"]) {
        const Json* w = windowState(name.get<std::string>());
        bool on = false;
        if (w && screen) {
          const Json& f = (*w)["frame"];
          const Rect frame{f[0].get<double>(), f[1].get<double>(), f[2].get<double>(),
                           f[3].get<double>()};
          on = screen->intersectionArea(frame) * 2 > frame.width() * frame.height();
        }
        if (!on)
          unmet.push_back(where + name.get<std::string>() + " is not on \"" + display + "\"");
      }
    } else if (e.contains("running")) {
      if (state["running"] != e["running"]) {
        unmet.push_back(where + "the program is " +
                        (state["running"].get<bool>() ? "running" : "stopped"));
      }
    } else if (auto shell = unmetShellExpectation(e, state)) {
      unmet.push_back(where + *shell);
    }
  }
  return unmet;
}

}  // namespace vistarail::simrun
