#pragma once
// The platform's string services, for text that people read: window titles
// and application names matched without regard to case, and key names
// upper-cased for display. Hand-written case tables cover a few scripts and
// get the rest wrong (ß, final sigma, Turkish dotted and dotless i, Georgian,
// Cherokee, ...); the platform knows every script, so the program asks it.
//
// Text is UTF-8 in and out. Invalid UTF-8 never fails a call: the broken
// bytes count as U+FFFD.
//
// On macOS the adapter answers from Core Foundation: containment is
// CFStringFind and comparison CFStringCompare, both with
// kCFCompareCaseInsensitive | kCFCompareNonliteral (so precomposed and
// decomposed accents match), and upper-casing is CFStringUppercase with the
// user's current locale (CFLocaleCopyCurrent). The simulator answers from
// ICU with the same semantics: case-insensitive, accent-sensitive matching
// of canonically equivalent text, and locale-aware upper-casing.

#include <string>
#include <string_view>

namespace vistarail {

class TextServices {
 public:
  virtual ~TextServices() = default;

  // Whether `part` occurs in `text` ignoring case ("Straße" contains "STRASSE");
  // an empty part occurs in every text. Accents count: "café" does not
  // contain "cafe".
  virtual bool containsIgnoringCase(std::string_view text, std::string_view part) const = 0;

  // Negative, zero or positive as `a` sorts before, equal to or after `b`,
  // ignoring case.
  virtual int compareIgnoringCase(std::string_view a, std::string_view b) const = 0;

  // The text upper-cased in the user's locale, for display ("ß" becomes "SS",
  // and in a Turkish locale "i" becomes "İ").
  virtual std::string upperCased(std::string_view text) const = 0;
};

}  // namespace vistarail
