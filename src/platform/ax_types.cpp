#include "platform/ax_types.h"

namespace vistarail {

const char* toString(AXError error) {
  switch (error) {
    case AXError::success: return "success";
    case AXError::failure: return "failure";
    case AXError::illegalArgument: return "illegalArgument";
    case AXError::invalidUIElement: return "invalidUIElement";
    case AXError::invalidUIElementObserver: return "invalidUIElementObserver";
    case AXError::cannotComplete: return "cannotComplete";
    case AXError::attributeUnsupported: return "attributeUnsupported";
    case AXError::actionUnsupported: return "actionUnsupported";
    case AXError::notificationUnsupported: return "notificationUnsupported";
    case AXError::notImplemented: return "notImplemented";
    case AXError::notificationAlreadyRegistered: return "notificationAlreadyRegistered";
    case AXError::notificationNotRegistered: return "notificationNotRegistered";
    case AXError::apiDisabled: return "apiDisabled";
    case AXError::noValue: return "noValue";
    case AXError::parameterizedAttributeUnsupported: return "parameterizedAttributeUnsupported";
    case AXError::notEnoughPrecision: return "notEnoughPrecision";
  }
  return "unknown";
}

namespace {
template <class T>
std::optional<T> get(const AXValue& v) {
  if (const T* p = std::get_if<T>(&v)) return *p;
  return std::nullopt;
}
}  // namespace

std::optional<bool> asBool(const AXValue& v) {
  // The platform hands booleans over as numbers too; accept both.
  if (auto b = get<bool>(v)) return b;
  if (auto n = get<double>(v)) return *n != 0;
  return std::nullopt;
}
std::optional<double> asNumber(const AXValue& v) { return get<double>(v); }
std::optional<std::string> asString(const AXValue& v) { return get<std::string>(v); }
std::optional<Point> asPoint(const AXValue& v) { return get<Point>(v); }
std::optional<Size> asSize(const AXValue& v) { return get<Size>(v); }
std::optional<AXElement> asElement(const AXValue& v) { return get<AXElement>(v); }
std::optional<std::vector<AXElement>> asElements(const AXValue& v) {
  return get<std::vector<AXElement>>(v);
}

}  // namespace vistarail
