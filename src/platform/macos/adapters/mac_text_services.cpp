#include "platform/macos/adapters/mac_text_services.h"

#include <CoreFoundation/CoreFoundation.h>

#include "platform/macos/adapters/cf_convert.h"
#include "platform/macos/text_translation.h"

namespace vistarail::macos {

namespace {

constexpr CFStringCompareFlags kIgnoringCase = kCFCompareCaseInsensitive | kCFCompareNonliteral;

// Never null: malformed bytes are repaired first (CoreFoundation makes no
// string of malformed UTF-8), and an allocation failure gives the empty string.
CFRef<CFStringRef> cfText(std::string_view text) {
  CFRef<CFStringRef> made = makeCFString(repairedUtf8(text));
  return made ? std::move(made) : makeCFString("");
}

}  // namespace

bool MacTextServices::containsIgnoringCase(std::string_view text, std::string_view part) const {
  if (part.empty()) return true;
  CFRef<CFStringRef> haystack = cfText(text);
  CFRef<CFStringRef> needle = cfText(part);
  if (!haystack || !needle) return false;
  return CFStringFind(haystack.get(), needle.get(), kIgnoringCase).location != kCFNotFound;
}

int MacTextServices::compareIgnoringCase(std::string_view a, std::string_view b) const {
  CFRef<CFStringRef> left = cfText(a);
  CFRef<CFStringRef> right = cfText(b);
  if (!left || !right) return 0;
  return static_cast<int>(CFStringCompare(left.get(), right.get(), kIgnoringCase));
}

std::string MacTextServices::upperCased(std::string_view text) const {
  CFRef<CFStringRef> source = cfText(text);
  if (!source) return std::string(text);
  CFRef<CFMutableStringRef> upper = CFRef<CFMutableStringRef>::adopt(
      CFStringCreateMutableCopy(kCFAllocatorDefault, 0, source.get()));
  if (!upper) return std::string(text);
  CFRef<CFLocaleRef> locale = CFRef<CFLocaleRef>::adopt(CFLocaleCopyCurrent());
  CFStringUppercase(upper.get(), locale.get());
  return stringFromCF(upper.get());
}

}  // namespace vistarail::macos
