#pragma once
// Translation between the accessibility services' C values and the port's
// values, kept free of the platform's headers so that it builds and is tested
// everywhere. The adapter describes one copied attribute value through a
// small source object (see decodeAttributeValue) and hands the raw error
// codes through axErrorFromCode.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ax_types.h"

namespace vistarail::macos {

// A code the port does not know (a newer system's) reads as a plain failure,
// never as success and never as an enumerator outside the list.
AXError axErrorFromCode(int32_t code);

// What kind of object an attribute value is.
enum class AXRawKind { null, boolean, number, string, axValue, element, array, other };

// The packed value types of the accessibility services' value wrapper.
enum class AXValueType : int32_t { cgPoint = 1, cgSize = 2, cgRect = 3, cfRange = 4, axError = 5 };

// Decodes one attribute value. Source provides:
//   AXRawKind kind() const;
//   bool boolean() const; double number() const; std::string string() const;
//   AXValueType axValueType() const; Point point() const; Size size() const;
//   AXElement element() const;
//   size_t count() const; bool isElementAt(size_t) const; AXElement elementAt(size_t) const;
// A value the port cannot carry (no value at all, a rectangle, a range, a
// date) reads as noValue, which callers treat as absent. An array keeps its
// elements in order and skips anything else it holds.
template <class Source>
AXResult<AXValue> decodeAttributeValue(const Source& source) {
  using Result = AXResult<AXValue>;
  switch (source.kind()) {
    case AXRawKind::boolean:
      return Result::ok(source.boolean());
    case AXRawKind::number:
      return Result::ok(source.number());
    case AXRawKind::string:
      return Result::ok(source.string());
    case AXRawKind::element:
      return Result::ok(source.element());
    case AXRawKind::axValue:
      switch (source.axValueType()) {
        case AXValueType::cgPoint:
          return Result::ok(source.point());
        case AXValueType::cgSize:
          return Result::ok(source.size());
        default:
          return Result::fail(AXError::noValue);
      }
    case AXRawKind::array: {
      std::vector<AXElement> elements;
      const size_t count = source.count();
      elements.reserve(count);
      for (size_t i = 0; i < count; ++i) {
        if (source.isElementAt(i)) elements.push_back(source.elementAt(i));
      }
      return Result::ok(std::move(elements));
    }
    case AXRawKind::null:
    case AXRawKind::other:
      break;
  }
  return Result::fail(AXError::noValue);
}

// The messaging time-out as the services take it: a non-negative float, where
// 0 restores the system's default. NaN and negative times become 0 rather
// than an illegal argument that would leave the old time-out in place.
float messagingTimeoutValue(double seconds);

}  // namespace vistarail::macos
