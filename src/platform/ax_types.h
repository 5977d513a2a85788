#pragma once
// Values that cross the accessibility port: error codes, attribute values, and
// the element and observer handles.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"

namespace vistarail {

// The platform's numeric accessibility error codes.
enum class AXError : int32_t {
  success = 0,
  failure = -25200,
  illegalArgument = -25201,
  invalidUIElement = -25202,
  invalidUIElementObserver = -25203,
  cannotComplete = -25204,
  attributeUnsupported = -25205,
  actionUnsupported = -25206,
  notificationUnsupported = -25207,
  notImplemented = -25208,
  notificationAlreadyRegistered = -25209,
  notificationNotRegistered = -25210,
  apiDisabled = -25211,
  noValue = -25212,
  parameterizedAttributeUnsupported = -25213,
  notEnoughPrecision = -25214,
};

const char* toString(AXError error);

// Identity of an element or observer inside an adapter. Adapters subclass it;
// equality is the adapter's (the platform compares elements by value, not by
// reference, so two handles to one window compare equal).
class AXHandleImpl {
 public:
  virtual ~AXHandleImpl() = default;
  virtual bool equals(const AXHandleImpl& other) const = 0;
  virtual size_t hash() const = 0;
};

// Cheap, copyable, ref-counted handle to an accessibility element (application,
// window, button, system-wide element). A default-constructed handle is empty.
class AXElement {
 public:
  AXElement() = default;
  explicit AXElement(std::shared_ptr<const AXHandleImpl> impl) : impl_(std::move(impl)) {}
  bool empty() const { return !impl_; }
  explicit operator bool() const { return !empty(); }
  const AXHandleImpl* impl() const { return impl_.get(); }
  size_t hash() const { return impl_ ? impl_->hash() : 0; }
  friend bool operator==(const AXElement& a, const AXElement& b) {
    if (a.impl_ == b.impl_) return true;
    if (!a.impl_ || !b.impl_) return false;
    return a.impl_->equals(*b.impl_);
  }

 private:
  std::shared_ptr<const AXHandleImpl> impl_;
};

// Handle to an observer of one process's notifications.
class AXObserver {
 public:
  AXObserver() = default;
  explicit AXObserver(std::shared_ptr<const AXHandleImpl> impl) : impl_(std::move(impl)) {}
  bool empty() const { return !impl_; }
  explicit operator bool() const { return !empty(); }
  const AXHandleImpl* impl() const { return impl_.get(); }
  friend bool operator==(const AXObserver& a, const AXObserver& b) {
    if (a.impl_ == b.impl_) return true;
    if (!a.impl_ || !b.impl_) return false;
    return a.impl_->equals(*b.impl_);
  }

 private:
  std::shared_ptr<const AXHandleImpl> impl_;
};

// An attribute value: a boolean, a number, a string, a point (type 1), a size
// (type 2), an element, or an array of elements.
using AXValue =
    std::variant<bool, double, std::string, Point, Size, AXElement, std::vector<AXElement>>;

// A result or the error that prevented it.
template <class T>
struct AXResult {
  AXError error = AXError::failure;
  std::optional<T> value;

  static AXResult ok(T v) { return {AXError::success, std::move(v)}; }
  static AXResult fail(AXError e) { return {e, std::nullopt}; }
  bool isOk() const { return error == AXError::success && value.has_value(); }
  explicit operator bool() const { return isOk(); }
};

// Typed views of an attribute value; absent when the value is of another type.
std::optional<bool> asBool(const AXValue& v);
std::optional<double> asNumber(const AXValue& v);
std::optional<std::string> asString(const AXValue& v);
std::optional<Point> asPoint(const AXValue& v);
std::optional<Size> asSize(const AXValue& v);
std::optional<AXElement> asElement(const AXValue& v);
std::optional<std::vector<AXElement>> asElements(const AXValue& v);

struct AXElementHash {
  size_t operator()(const AXElement& e) const { return e.hash(); }
};

}  // namespace vistarail
