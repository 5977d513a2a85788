#pragma once
// Text on its way to the platform's string services, kept free of the
// platform's headers.

#include <string>
#include <string_view>

namespace vistarail::macos {

// The text as valid UTF-8, each byte that does not belong to a well-formed
// sequence replaced by U+FFFD. CoreFoundation refuses to make a string of
// malformed UTF-8 at all (it answers null), so a window title with one stray
// byte would otherwise match nothing and upper-case to nothing.
std::string repairedUtf8(std::string_view text);

}  // namespace vistarail::macos
