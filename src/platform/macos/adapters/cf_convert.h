#pragma once
// Strings and property lists between CoreFoundation and the port's values.

#include <CoreFoundation/CoreFoundation.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/macos/adapters/cf_ref.h"
#include "platform/property_list.h"

namespace vistarail::macos {

CFRef<CFStringRef> makeCFString(std::string_view text);
// UTF-8; empty for null.
std::string stringFromCF(CFStringRef string);

// A CoreFoundation property list (or any object: what has no place is left
// out) as a PropertyList; absent when nothing of it has a place.
std::optional<PropertyList> plistFromCF(CFTypeRef object);
// A PropertyList as a new CoreFoundation object; null for a JSON null.
CFRef<CFTypeRef> cfFromPlist(const PropertyList& value);

}  // namespace vistarail::macos
