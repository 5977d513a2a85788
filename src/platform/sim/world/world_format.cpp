// Text forms of values for the world's trace.

#include <cstdio>
#include <string>
#include <type_traits>

#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

namespace {

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

std::string element(const AXElement& e) {
  auto ref = elementRef(e);
  return ref ? describe(*ref) : std::string(e.empty() ? "none" : "foreign element");
}

}  // namespace

const char* toString(AXCallKind kind) {
  switch (kind) {
    case AXCallKind::copyAttribute:
      return "copy";
    case AXCallKind::setAttribute:
      return "set";
    case AXCallKind::isSettable:
      return "settable";
    case AXCallKind::performAction:
      return "action";
    case AXCallKind::addNotification:
      return "addNotification";
    case AXCallKind::removeNotification:
      return "removeNotification";
  }
  return "?";
}

std::string formatRect(const Rect& r) {
  return "(" + number(r.origin.x) + ", " + number(r.origin.y) + ", " + number(r.size.width) +
         " x " + number(r.size.height) + ")";
}

std::string formatValue(const AXValue& value) {
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>) {
          return v ? "true" : "false";
        } else if constexpr (std::is_same_v<T, double>) {
          return number(v);
        } else if constexpr (std::is_same_v<T, std::string>) {
          return "\"" + v + "\"";
        } else if constexpr (std::is_same_v<T, Point>) {
          return "(" + number(v.x) + ", " + number(v.y) + ")";
        } else if constexpr (std::is_same_v<T, Size>) {
          return number(v.width) + " x " + number(v.height);
        } else if constexpr (std::is_same_v<T, AXElement>) {
          return element(v);
        } else {
          std::string text = "[";
          for (size_t i = 0; i < v.size(); ++i) text += (i ? ", " : "") + element(v[i]);
          return text + "]";
        }
      },
      value);
}

}  // namespace vistarail::sim
