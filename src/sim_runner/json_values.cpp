#include "sim_runner/json_values.h"

#include <string>

#include "platform/ax_types.h"

namespace vistarail::simrun {

using Json = nlohmann::json;

Rect rectOf(const Json& v) {
  return {v[0].get<double>(), v[1].get<double>(), v[2].get<double>(), v[3].get<double>()};
}
Json rectJson(const Rect& r) {
  return Json::array({r.minX(), r.minY(), r.width(), r.height()});
}
Size sizeOf(const Json& v) {
  return {v[0].get<double>(), v[1].get<double>()};
}
Point pointOf(const Json& v) {
  return {v[0].get<double>(), v[1].get<double>()};
}

sim::Behaviour behaviourOf(const Json& b) {
  sim::Behaviour result;
  result.latencySeconds = b.value("latency", 0.0);
  result.latencyJitterSeconds = b.value("jitter", 0.0);
  result.hung = b.value("hung", false);
  result.ignoresMoves = b.value("ignoresMoves", false);
  if (b.contains("sizeGrid")) result.sizeGrid = sizeOf(b["sizeGrid"]);
  if (b.contains("movesNewWindows")) {
    const Json& m = b["movesNewWindows"];
    sim::SelfMove move;
    move.delaySeconds = m.value("delay", 0.3);
    if (m.contains("frame")) move.frame = rectOf(m["frame"]);
    if (m.contains("offset"))
      move.offset = {m["offset"][0].get<double>(), m["offset"][1].get<double>()};
    result.movesNewWindows = move;
  }
  static const char* onNames[] = {"read",         "write",    "settable", "action",
                                  "notification", "observer", "any"};
  for (const Json& f : b.value("faults", Json::array())) {
    sim::AttributeFault fault;
    fault.name = f.value("name", std::string());
    const std::string on = f.value("on", std::string("read"));
    for (int i = 0; i < 7; ++i) {
      if (on == onNames[i]) fault.on = static_cast<sim::FaultOn>(i);
    }
    const std::string error = f.value("error", std::string("cannotComplete"));
    for (int code = -25214; code <= -25200; ++code) {
      if (error == toString(static_cast<AXError>(code))) fault.error = static_cast<AXError>(code);
    }
    fault.remaining = f.value("count", -1);
    result.faults.push_back(fault);
  }
  return result;
}

}  // namespace vistarail::simrun
