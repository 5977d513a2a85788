#include "platform/macos/adapters/mac_bundle.h"

#import <Foundation/Foundation.h>

#include "platform/macos/adapters/objc_bridge.h"

namespace vistarail::macos {

std::optional<std::string> MacBundle::bundleIdentifier() {
  NSString* identifier = NSBundle.mainBundle.bundleIdentifier;
  if (!identifier) return std::nullopt;
  return stdString(identifier);
}

std::string MacBundle::bundlePath() {
  return stdString(NSBundle.mainBundle.bundlePath);
}

std::optional<PropertyList> MacBundle::infoValue(const std::string& key) {
  NSString* name = nsString(key);
  id value = name ? [NSBundle.mainBundle objectForInfoDictionaryKey:name] : nil;
  if (!value) return std::nullopt;
  return plistFromCF((__bridge CFTypeRef)value);
}

std::optional<std::string> MacBundle::urlForResource(const std::string& name,
                                                     const std::string& extension) {
  NSString* resource = nsString(name);
  NSString* type = nsString(extension);
  if (!resource || !type) return std::nullopt;
  NSURL* url = [NSBundle.mainBundle URLForResource:resource withExtension:type];
  if (!url) return std::nullopt;
  // A URL, as the workspace opens it.
  return stdString(url.absoluteString);
}

}  // namespace vistarail::macos
