#include "platform/macos/adapters/mac_defaults.h"

#import <Foundation/Foundation.h>

#include "platform/macos/adapters/objc_bridge.h"

namespace vistarail::macos {

struct MacDefaults::Impl {
  NSUserDefaults* defaults = nil;
};

MacDefaults::MacDefaults(const std::string& suiteName) : impl_(std::make_unique<Impl>()) {
  NSString* suite = suiteName.empty() ? nil : nsString(suiteName);
  impl_->defaults = suite ? [[NSUserDefaults alloc] initWithSuiteName:suite]
                          : NSUserDefaults.standardUserDefaults;
}

MacDefaults::~MacDefaults() = default;

void MacDefaults::registerDefaults(const PropertyList& dictionary) {
  if (!dictionary.is_object()) return;
  id registered = CFBridgingRelease(cfFromPlist(dictionary).release());
  if (registered) [impl_->defaults registerDefaults:registered];
}

std::optional<PropertyList> MacDefaults::object(const std::string& key) const {
  NSString* name = nsString(key);
  if (!name) return std::nullopt;
  id value = [impl_->defaults objectForKey:name];
  return value ? plistFromCF((__bridge CFTypeRef)value) : std::nullopt;
}

void MacDefaults::set(const std::string& key, const PropertyList& value) {
  NSString* name = nsString(key);
  if (!name) return;
  id object = CFBridgingRelease(cfFromPlist(value).release());
  // A null holds nothing: storing it means the key holds nothing.
  if (object) {
    [impl_->defaults setObject:object forKey:name];
  } else {
    [impl_->defaults removeObjectForKey:name];
  }
}

void MacDefaults::remove(const std::string& key) {
  if (NSString* name = nsString(key)) [impl_->defaults removeObjectForKey:name];
}

}  // namespace vistarail::macos
