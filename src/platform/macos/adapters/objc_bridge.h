#pragma once
// Strings between Foundation and the program, for the Objective-C++
// adapters. Include from .mm files only.

#import <Foundation/Foundation.h>

#include <string>
#include <string_view>

#include "platform/macos/adapters/cf_convert.h"

namespace vistarail::macos {

// nil when the bytes are not UTF-8 (callers must check: Foundation throws on
// a nil key or value).
inline NSString* nsString(std::string_view text) {
  return CFBridgingRelease(makeCFString(text).release());
}

// Never nil: the empty string for bytes that are not UTF-8, for the places
// where AppKit raises on nil (titles, labels, key equivalents).
inline NSString* nsText(std::string_view text) {
  NSString* made = nsString(text);
  return made ? made : @"";
}

inline std::string stdString(NSString* string) {
  return string ? stringFromCF((__bridge CFStringRef)string) : std::string();
}

}  // namespace vistarail::macos
