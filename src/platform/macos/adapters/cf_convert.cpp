#include "platform/macos/adapters/cf_convert.h"

#include <memory>
#include <utility>
#include <vector>

#include "platform/macos/plist_bridge.h"

namespace vistarail::macos {

CFRef<CFStringRef> makeCFString(std::string_view text) {
  return CFRef<CFStringRef>::adopt(
      CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(text.data()),
                              static_cast<CFIndex>(text.size()), kCFStringEncodingUTF8, false));
}

std::string stringFromCF(CFStringRef string) {
  if (!string) return {};
  if (const char* fast = CFStringGetCStringPtr(string, kCFStringEncodingUTF8)) return fast;
  const CFIndex length = CFStringGetLength(string);
  const CFIndex capacity = CFStringGetMaximumSizeForEncoding(length, kCFStringEncodingUTF8) + 1;
  std::string buffer(static_cast<size_t>(capacity), '\0');
  if (!CFStringGetCString(string, buffer.data(), capacity, kCFStringEncodingUTF8)) return {};
  buffer.resize(std::char_traits<char>::length(buffer.c_str()));
  return buffer;
}

namespace {

// A CoreFoundation object seen as a property-list node; holds a reference of
// its own, so a child outlives nothing it points into.
class CFNode final : public PlistNode {
 public:
  explicit CFNode(CFRef<CFTypeRef> object) : object_(std::move(object)) {
    const CFTypeID type = object_ ? CFGetTypeID(object_.get()) : 0;
    if (!object_) {
      kind_ = Kind::other;
    } else if (type == CFBooleanGetTypeID()) {
      kind_ = Kind::boolean;
    } else if (type == CFNumberGetTypeID()) {
      kind_ = CFNumberIsFloatType(number()) ? Kind::real : Kind::integer;
    } else if (type == CFStringGetTypeID()) {
      kind_ = Kind::string;
    } else if (type == CFDataGetTypeID()) {
      kind_ = Kind::data;
    } else if (type == CFArrayGetTypeID()) {
      kind_ = Kind::array;
    } else if (type == CFDictionaryGetTypeID()) {
      kind_ = Kind::dictionary;
      const CFIndex count = CFDictionaryGetCount(dictionary());
      keys_.resize(static_cast<size_t>(count));
      values_.resize(static_cast<size_t>(count));
      CFDictionaryGetKeysAndValues(dictionary(), keys_.data(), values_.data());
    }
  }

  Kind kind() const override { return kind_; }
  bool boolean() const override {
    return CFBooleanGetValue(static_cast<CFBooleanRef>(object_.get()));
  }
  int64_t integer() const override {
    int64_t value = 0;
    CFNumberGetValue(number(), kCFNumberSInt64Type, &value);
    return value;
  }
  double real() const override {
    double value = 0;
    CFNumberGetValue(number(), kCFNumberDoubleType, &value);
    return value;
  }
  std::string string() const override {
    return stringFromCF(static_cast<CFStringRef>(object_.get()));
  }
  std::vector<uint8_t> data() const override {
    const auto data = static_cast<CFDataRef>(object_.get());
    const UInt8* bytes = CFDataGetBytePtr(data);
    return std::vector<uint8_t>(bytes, bytes + CFDataGetLength(data));
  }
  size_t count() const override {
    if (kind_ == Kind::array) return static_cast<size_t>(CFArrayGetCount(array()));
    if (kind_ == Kind::dictionary) return values_.size();
    return 0;
  }
  std::unique_ptr<PlistNode> valueAt(size_t index) const override {
    const void* child = kind_ == Kind::array
                            ? CFArrayGetValueAtIndex(array(), static_cast<CFIndex>(index))
                            : values_[index];
    return std::make_unique<CFNode>(CFRef<CFTypeRef>::retain(child));
  }
  std::optional<std::string> keyAt(size_t index) const override {
    const void* key = keys_[index];
    if (!key || CFGetTypeID(key) != CFStringGetTypeID()) return std::nullopt;
    return stringFromCF(static_cast<CFStringRef>(key));
  }

 private:
  CFNumberRef number() const { return static_cast<CFNumberRef>(object_.get()); }
  CFArrayRef array() const { return static_cast<CFArrayRef>(object_.get()); }
  CFDictionaryRef dictionary() const { return static_cast<CFDictionaryRef>(object_.get()); }

  CFRef<CFTypeRef> object_;
  Kind kind_ = Kind::other;
  // Borrowed from the dictionary, which object_ keeps alive.
  std::vector<const void*> keys_;
  std::vector<const void*> values_;
};

struct CFFactory {
  using Value = CFRef<CFTypeRef>;
  Value string(const std::string& s) { return Value::adopt(makeCFString(s).release()); }
  Value boolean(bool b) { return Value::retain(b ? kCFBooleanTrue : kCFBooleanFalse); }
  Value integer(int64_t i) {
    return Value::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &i));
  }
  Value real(double r) {
    return Value::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &r));
  }
  Value data(const std::vector<uint8_t>& bytes) {
    return Value::adopt(
        CFDataCreate(kCFAllocatorDefault, bytes.data(), static_cast<CFIndex>(bytes.size())));
  }
  Value array(std::vector<Value> items) {
    std::vector<const void*> raw;
    raw.reserve(items.size());
    for (const Value& item : items) raw.push_back(item.get());
    // The array retains its values; items releases ours when it goes.
    return Value::adopt(CFArrayCreate(kCFAllocatorDefault, raw.data(),
                                      static_cast<CFIndex>(raw.size()), &kCFTypeArrayCallBacks));
  }
  Value dictionary(std::vector<std::pair<std::string, Value>> entries) {
    std::vector<CFRef<CFStringRef>> keys;
    std::vector<const void*> rawKeys;
    std::vector<const void*> rawValues;
    for (const auto& [key, value] : entries) {
      keys.push_back(makeCFString(key));
      rawKeys.push_back(keys.back().get());
      rawValues.push_back(value.get());
    }
    return Value::adopt(CFDictionaryCreate(
        kCFAllocatorDefault, rawKeys.data(), rawValues.data(), static_cast<CFIndex>(rawKeys.size()),
        &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  }
};

}  // namespace

std::optional<PropertyList> plistFromCF(CFTypeRef object) {
  if (!object) return std::nullopt;
  return plistFromNode(CFNode(CFRef<CFTypeRef>::retain(object)));
}

CFRef<CFTypeRef> cfFromPlist(const PropertyList& value) {
  CFFactory factory;
  auto built = buildPlist(value, factory);
  return built ? std::move(*built) : CFRef<CFTypeRef>();
}

}  // namespace vistarail::macos
