#include "windows/ax_read.h"

#include "platform/ax_names.h"

namespace vistarail {

namespace {

std::optional<AXValue> readValue(Accessibility& ax, const AXElement& element,
                                 std::string_view attribute) {
  auto result = ax.copyAttributeValue(element, attribute);
  if (!result) return std::nullopt;
  return std::move(result.value);
}

}  // namespace

std::optional<std::string> readString(Accessibility& ax, const AXElement& element,
                                      std::string_view attribute) {
  const auto value = readValue(ax, element, attribute);
  return value ? asString(*value) : std::nullopt;
}

std::optional<bool> readBool(Accessibility& ax, const AXElement& element,
                             std::string_view attribute) {
  const auto value = readValue(ax, element, attribute);
  return value ? asBool(*value) : std::nullopt;
}

std::optional<AXElement> readElement(Accessibility& ax, const AXElement& element,
                                     std::string_view attribute) {
  const auto value = readValue(ax, element, attribute);
  return value ? asElement(*value) : std::nullopt;
}

std::vector<AXElement> readElements(Accessibility& ax, const AXElement& element,
                                    std::string_view attribute) {
  const auto value = readValue(ax, element, attribute);
  if (!value) return {};
  return asElements(*value).value_or(std::vector<AXElement>{});
}

std::optional<bool> readPresence(Accessibility& ax, const AXElement& element,
                                 std::string_view attribute) {
  const auto result = ax.copyAttributeValue(element, attribute);
  switch (result.error) {
    case AXError::success:
      return result.value.has_value();
    case AXError::noValue:
    case AXError::attributeUnsupported:
      return false;
    default:
      // A busy or hung application says nothing about the attribute.
      return std::nullopt;
  }
}

std::optional<Rect> readFrame(Accessibility& ax, const AXElement& window) {
  const auto position = readValue(ax, window, ax::kPosition);
  const auto origin = position ? asPoint(*position) : std::nullopt;
  if (!origin) return std::nullopt;
  const auto size = readValue(ax, window, ax::kSize);
  const auto extent = size ? asSize(*size) : std::nullopt;
  if (!extent) return std::nullopt;
  return Rect(*origin, *extent);
}

std::optional<WindowId> windowNumberOf(Accessibility& ax, const AXElement& window) {
  if (!ax.hasWindowNumberLookup()) return std::nullopt;
  const auto result = ax.windowNumber(window);
  if (!result || *result.value == 0) return std::nullopt;
  return *result.value;
}

}  // namespace vistarail
