#pragma once
// The little Unicode handling the display of key names needs: reading the
// UTF-16 units a keyboard layout answers, trimming white space and writing
// UTF-8. Upper-casing is the platform's (TextServices).

#include <string>

namespace vistarail {

// Code points of UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::u32string decodeUtf16(const std::u16string& units);

// Without leading and trailing white space and line breaks (Unicode space
// separators, tab, line feed, vertical tab, form feed, carriage return, next
// line, line and paragraph separators).
std::u32string trimmedWhitespace(const std::u32string& text);

// UTF-8 bytes; code points that are not scalar values become U+FFFD.
std::string encodeUtf8(const std::u32string& text);

}  // namespace vistarail
