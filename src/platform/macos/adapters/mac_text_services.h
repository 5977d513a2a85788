#pragma once
// The text-services port over CoreFoundation's string functions: matching
// with kCFCompareCaseInsensitive | kCFCompareNonliteral and upper-casing in
// the user's current locale.

#include "platform/text_services.h"

namespace vistarail::macos {

class MacTextServices final : public TextServices {
 public:
  bool containsIgnoringCase(std::string_view text, std::string_view part) const override;
  int compareIgnoringCase(std::string_view a, std::string_view b) const override;
  std::string upperCased(std::string_view text) const override;
};

}  // namespace vistarail::macos
