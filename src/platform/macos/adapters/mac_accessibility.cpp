#include "platform/macos/adapters/mac_accessibility.h"

#include <dispatch/dispatch.h>
#include <dlfcn.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/macos/adapters/cf_convert.h"
#include "platform/macos/adapters/cf_ref.h"
#include "platform/macos/ax_translation.h"

namespace vistarail::macos {

namespace {

class ElementHandle final : public AXHandleImpl {
 public:
  explicit ElementHandle(CFRef<AXUIElementRef> ref) : ref_(std::move(ref)) {}
  bool equals(const AXHandleImpl& other) const override {
    const auto* o = dynamic_cast<const ElementHandle*>(&other);
    return o && CFEqual(ref_.get(), o->ref_.get());
  }
  size_t hash() const override { return CFHash(ref_.get()); }
  AXUIElementRef get() const { return ref_.get(); }

 private:
  CFRef<AXUIElementRef> ref_;
};

class ObserverHandle;

// What the services' callback reaches through its refcon. It must outlive
// every callback, so it is freed only on the main queue after the observer's
// source has left the main run loop (see ~ObserverHandle).
struct ObserverBox {
  AXObserverCallback callback;
  std::weak_ptr<const ObserverHandle> handle;
};

class ObserverHandle final : public AXHandleImpl,
                             public std::enable_shared_from_this<ObserverHandle> {
 public:
  ObserverHandle(AXObserverRef observer, ObserverBox* box) : observer_(observer), box_(box) {}
  ~ObserverHandle() override {
    detach();
    // Callbacks run on the main thread only. One may be running right now
    // (it may even be what dropped the last handle), so the observer and the
    // box are released by a main-queue block, which runs after it returns;
    // the source left the run loop above, so no later callback can start.
    auto* garbage = new std::pair<AXObserverRef, ObserverBox*>(observer_, box_);
    dispatch_async_f(dispatch_get_main_queue(), garbage, [](void* context) {
      auto* pair = static_cast<std::pair<AXObserverRef, ObserverBox*>*>(context);
      CFRelease(pair->first);
      delete pair->second;
      delete pair;
    });
  }
  bool equals(const AXHandleImpl& other) const override { return &other == this; }
  size_t hash() const override { return std::hash<const void*>()(observer_); }

  AXObserverRef get() const { return observer_; }
  ObserverBox* box() const { return box_; }
  void attach() {
    if (attached_.exchange(true)) return;
    CFRunLoopAddSource(CFRunLoopGetMain(), AXObserverGetRunLoopSource(observer_),
                       kCFRunLoopCommonModes);
  }
  void detach() {
    if (!attached_.exchange(false)) return;
    CFRunLoopRemoveSource(CFRunLoopGetMain(), AXObserverGetRunLoopSource(observer_),
                          kCFRunLoopCommonModes);
  }

 private:
  AXObserverRef observer_;  // owned (from AXObserverCreate)
  ObserverBox* box_;        // owned
  std::atomic<bool> attached_{false};
};

ObserverHandle* observerOf(const AXObserver& observer) {
  return const_cast<ObserverHandle*>(dynamic_cast<const ObserverHandle*>(observer.impl()));
}

// On the main thread, from the main run loop.
void observerCallback(AXObserverRef, AXUIElementRef element, CFStringRef notification,
                      void* refcon) {
  auto* box = static_cast<ObserverBox*>(refcon);
  auto handle = box->handle.lock();
  if (!handle || !box->callback) return;
  box->callback(AXObserver(handle), makeElement(element), stringFromCF(notification));
}

// The platform's AXError (a number), not the port's enumeration of the same name.
using GetWindowFunction = ::AXError (*)(AXUIElementRef, CGWindowID*);

// The private window-number lookup, looked up once by name.
GetWindowFunction windowLookup() {
  static const auto function =
      reinterpret_cast<GetWindowFunction>(dlsym(RTLD_DEFAULT, "_AXUIElementGetWindow"));
  return function;
}

// Describes one copied value for decodeAttributeValue.
class CFAttribute {
 public:
  explicit CFAttribute(CFTypeRef value) : value_(value) {}
  AXRawKind kind() const {
    if (!value_) return AXRawKind::null;
    const CFTypeID type = CFGetTypeID(value_);
    if (type == CFBooleanGetTypeID()) return AXRawKind::boolean;
    if (type == CFNumberGetTypeID()) return AXRawKind::number;
    if (type == CFStringGetTypeID()) return AXRawKind::string;
    if (type == AXValueGetTypeID()) return AXRawKind::axValue;
    if (type == AXUIElementGetTypeID()) return AXRawKind::element;
    if (type == CFArrayGetTypeID()) return AXRawKind::array;
    return AXRawKind::other;
  }
  bool boolean() const { return CFBooleanGetValue(static_cast<CFBooleanRef>(value_)); }
  double number() const {
    double v = 0;
    CFNumberGetValue(static_cast<CFNumberRef>(value_), kCFNumberDoubleType, &v);
    return v;
  }
  std::string string() const { return stringFromCF(static_cast<CFStringRef>(value_)); }
  AXValueType axValueType() const {
    return static_cast<AXValueType>(AXValueGetType(static_cast<AXValueRef>(value_)));
  }
  Point point() const {
    CGPoint p{0, 0};
    AXValueGetValue(static_cast<AXValueRef>(value_), kAXValueTypeCGPoint, &p);
    return {p.x, p.y};
  }
  Size size() const {
    CGSize s{0, 0};
    AXValueGetValue(static_cast<AXValueRef>(value_), kAXValueTypeCGSize, &s);
    return {s.width, s.height};
  }
  AXElement element() const { return makeElement(static_cast<AXUIElementRef>(value_)); }
  size_t count() const {
    return static_cast<size_t>(CFArrayGetCount(static_cast<CFArrayRef>(value_)));
  }
  bool isElementAt(size_t i) const {
    const void* item = at(i);
    return item && CFGetTypeID(item) == AXUIElementGetTypeID();
  }
  AXElement elementAt(size_t i) const { return makeElement(static_cast<AXUIElementRef>(at(i))); }

 private:
  const void* at(size_t i) const {
    return CFArrayGetValueAtIndex(static_cast<CFArrayRef>(value_), static_cast<CFIndex>(i));
  }
  CFTypeRef value_;  // borrowed from the caller's CFRef
};

// The platform object for a value to write; null when it cannot be written.
CFRef<CFTypeRef> encode(const AXValue& value) {
  using Ref = CFRef<CFTypeRef>;
  if (const bool* b = std::get_if<bool>(&value)) {
    return Ref::retain(*b ? kCFBooleanTrue : kCFBooleanFalse);
  }
  if (const double* n = std::get_if<double>(&value)) {
    return Ref::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, n));
  }
  if (const std::string* s = std::get_if<std::string>(&value)) {
    return Ref::adopt(makeCFString(*s).release());
  }
  if (const Point* p = std::get_if<Point>(&value)) {
    const CGPoint point{p->x, p->y};
    return Ref::adopt(AXValueCreate(kAXValueTypeCGPoint, &point));
  }
  if (const Size* s = std::get_if<Size>(&value)) {
    const CGSize size{s->width, s->height};
    return Ref::adopt(AXValueCreate(kAXValueTypeCGSize, &size));
  }
  if (const AXElement* e = std::get_if<AXElement>(&value)) return Ref::retain(elementRef(*e));
  if (const auto* list = std::get_if<std::vector<AXElement>>(&value)) {
    std::vector<const void*> raw;
    for (const AXElement& e : *list) {
      if (AXUIElementRef ref = elementRef(e)) raw.push_back(ref);
    }
    return Ref::adopt(CFArrayCreate(kCFAllocatorDefault, raw.data(),
                                    static_cast<CFIndex>(raw.size()), &kCFTypeArrayCallBacks));
  }
  return {};
}

}  // namespace

AXUIElementRef elementRef(const AXElement& element) {
  const auto* handle = dynamic_cast<const ElementHandle*>(element.impl());
  return handle ? handle->get() : nullptr;
}

AXElement makeElement(AXUIElementRef element) {
  if (!element) return {};
  return AXElement(std::make_shared<ElementHandle>(CFRef<AXUIElementRef>::retain(element)));
}

bool MacAccessibility::isProcessTrusted(TrustPrompt prompt) {
  const void* keys[] = {kAXTrustedCheckOptionPrompt};
  const void* values[] = {prompt == TrustPrompt::promptIfNeeded ? kCFBooleanTrue : kCFBooleanFalse};
  const auto options = CFRef<CFDictionaryRef>::adopt(
      CFDictionaryCreate(kCFAllocatorDefault, keys, values, 1, &kCFTypeDictionaryKeyCallBacks,
                         &kCFTypeDictionaryValueCallBacks));
  return AXIsProcessTrustedWithOptions(options.get());
}

AXElement MacAccessibility::applicationElement(Pid pid) {
  const auto ref = CFRef<AXUIElementRef>::adopt(AXUIElementCreateApplication(pid));
  return ref ? AXElement(std::make_shared<ElementHandle>(ref)) : AXElement();
}

AXElement MacAccessibility::systemWideElement() {
  const auto ref = CFRef<AXUIElementRef>::adopt(AXUIElementCreateSystemWide());
  return ref ? AXElement(std::make_shared<ElementHandle>(ref)) : AXElement();
}

AXError MacAccessibility::setMessagingTimeout(const AXElement& element, double seconds) {
  AXUIElementRef ref = elementRef(element);
  if (!ref) return AXError::illegalArgument;
  return axErrorFromCode(AXUIElementSetMessagingTimeout(ref, messagingTimeoutValue(seconds)));
}

AXResult<AXValue> MacAccessibility::copyAttributeValue(const AXElement& element,
                                                       std::string_view attribute) {
  AXUIElementRef ref = elementRef(element);
  if (!ref) return AXResult<AXValue>::fail(AXError::illegalArgument);
  CFRef<CFTypeRef> value;
  const AXError error = axErrorFromCode(
      AXUIElementCopyAttributeValue(ref, makeCFString(attribute).get(), value.out()));
  if (error != AXError::success) return AXResult<AXValue>::fail(error);
  return decodeAttributeValue(CFAttribute(value.get()));
}

std::vector<AXResult<AXValue>> MacAccessibility::copyMultipleAttributeValues(
    const AXElement& element, const std::vector<std::string_view>& attributes) {
  std::vector<AXResult<AXValue>> results(attributes.size(),
                                         AXResult<AXValue>::fail(AXError::illegalArgument));
  AXUIElementRef ref = elementRef(element);
  if (!ref) return results;
  std::vector<CFRef<CFStringRef>> names;
  std::vector<const void*> raw;
  for (std::string_view attribute : attributes) {
    names.push_back(makeCFString(attribute));
    raw.push_back(names.back().get());
  }
  const auto asked = CFRef<CFArrayRef>::adopt(CFArrayCreate(
      kCFAllocatorDefault, raw.data(), static_cast<CFIndex>(raw.size()), &kCFTypeArrayCallBacks));
  CFRef<CFArrayRef> values;
  // Without the stop-on-error option an attribute that fails comes back as
  // an AXValue holding its own error, in its place.
  const AXError error =
      axErrorFromCode(AXUIElementCopyMultipleAttributeValues(ref, asked.get(), 0, values.out()));
  if (error != AXError::success || !values) {
    for (auto& entry : results) entry = AXResult<AXValue>::fail(error);
    return results;
  }
  const CFIndex count = CFArrayGetCount(values.get());
  for (CFIndex i = 0; i < count && static_cast<size_t>(i) < results.size(); ++i) {
    CFTypeRef value = CFArrayGetValueAtIndex(values.get(), i);
    if (value && CFGetTypeID(value) == AXValueGetTypeID() &&
        AXValueGetType(static_cast<AXValueRef>(value)) == kAXValueTypeAXError) {
      int32_t code = 0;
      AXValueGetValue(static_cast<AXValueRef>(value), kAXValueTypeAXError, &code);
      results[static_cast<size_t>(i)] = AXResult<AXValue>::fail(axErrorFromCode(code));
      continue;
    }
    results[static_cast<size_t>(i)] = decodeAttributeValue(CFAttribute(value));
  }
  return results;
}

AXError MacAccessibility::setAttributeValue(const AXElement& element, std::string_view attribute,
                                            const AXValue& value) {
  AXUIElementRef ref = elementRef(element);
  const CFRef<CFTypeRef> encoded = encode(value);
  if (!ref || !encoded) return AXError::illegalArgument;
  return axErrorFromCode(
      AXUIElementSetAttributeValue(ref, makeCFString(attribute).get(), encoded.get()));
}

AXResult<bool> MacAccessibility::isAttributeSettable(const AXElement& element,
                                                     std::string_view attribute) {
  AXUIElementRef ref = elementRef(element);
  if (!ref) return AXResult<bool>::fail(AXError::illegalArgument);
  Boolean settable = false;
  const AXError error = axErrorFromCode(
      AXUIElementIsAttributeSettable(ref, makeCFString(attribute).get(), &settable));
  if (error != AXError::success) return AXResult<bool>::fail(error);
  return AXResult<bool>::ok(settable != 0);
}

AXError MacAccessibility::performAction(const AXElement& element, std::string_view action) {
  AXUIElementRef ref = elementRef(element);
  if (!ref) return AXError::illegalArgument;
  return axErrorFromCode(AXUIElementPerformAction(ref, makeCFString(action).get()));
}

AXResult<Pid> MacAccessibility::pid(const AXElement& element) {
  AXUIElementRef ref = elementRef(element);
  if (!ref) return AXResult<Pid>::fail(AXError::illegalArgument);
  pid_t pid = 0;
  const AXError error = axErrorFromCode(AXUIElementGetPid(ref, &pid));
  if (error != AXError::success) return AXResult<Pid>::fail(error);
  return AXResult<Pid>::ok(static_cast<Pid>(pid));
}

bool MacAccessibility::hasWindowNumberLookup() const {
  return windowLookup() != nullptr;
}

AXResult<WindowId> MacAccessibility::windowNumber(const AXElement& window) {
  const GetWindowFunction lookup = windowLookup();
  if (!lookup) return AXResult<WindowId>::fail(AXError::notImplemented);
  AXUIElementRef ref = elementRef(window);
  if (!ref) return AXResult<WindowId>::fail(AXError::illegalArgument);
  CGWindowID number = 0;
  const AXError error = axErrorFromCode(lookup(ref, &number));
  if (error != AXError::success) return AXResult<WindowId>::fail(error);
  // Number 0 names no window; the caller treats it as a failed lookup.
  if (number == 0) return AXResult<WindowId>::fail(AXError::failure);
  return AXResult<WindowId>::ok(number);
}

AXResult<AXObserver> MacAccessibility::createObserver(Pid pid, AXObserverCallback callback) {
  AXObserverRef observer = nullptr;
  const AXError error = axErrorFromCode(AXObserverCreate(pid, observerCallback, &observer));
  if (error != AXError::success || !observer) {
    if (observer) CFRelease(observer);
    return AXResult<AXObserver>::fail(error == AXError::success ? AXError::failure : error);
  }
  auto* box = new ObserverBox{std::move(callback), {}};
  auto handle = std::make_shared<ObserverHandle>(observer, box);
  box->handle = handle;
  return AXResult<AXObserver>::ok(AXObserver(std::move(handle)));
}

AXError MacAccessibility::addNotification(const AXObserver& observer, const AXElement& element,
                                          std::string_view notification) {
  ObserverHandle* handle = observerOf(observer);
  AXUIElementRef ref = elementRef(element);
  if (!handle) return AXError::invalidUIElementObserver;
  if (!ref) return AXError::illegalArgument;
  return axErrorFromCode(AXObserverAddNotification(
      handle->get(), ref, makeCFString(notification).get(), handle->box()));
}

AXError MacAccessibility::removeNotification(const AXObserver& observer, const AXElement& element,
                                             std::string_view notification) {
  ObserverHandle* handle = observerOf(observer);
  AXUIElementRef ref = elementRef(element);
  if (!handle) return AXError::invalidUIElementObserver;
  if (!ref) return AXError::illegalArgument;
  return axErrorFromCode(
      AXObserverRemoveNotification(handle->get(), ref, makeCFString(notification).get()));
}

void MacAccessibility::attachToMainRunLoop(const AXObserver& observer) {
  if (ObserverHandle* handle = observerOf(observer)) handle->attach();
}

void MacAccessibility::detachFromMainRunLoop(const AXObserver& observer) {
  if (ObserverHandle* handle = observerOf(observer)) handle->detach();
}

}  // namespace vistarail::macos
