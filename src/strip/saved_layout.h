#pragma once
// The JSON of saved strips (the value itself is in saved_strip.h).
//
// One stored value maps a strip key to a saved strip:
//   {"<display id>/<space id>": {"columns":[{"windows":[4711,4712],"proportion":0.5}, ...],
//                                "focusedIndex":1,
//                                "preferredHeights":[4801,640,4711,420]}}
// "columns" and "focusedIndex" are required, "preferredHeights" may be
// missing or null. A map keyed by window id is written the way the platform
// encodes a dictionary whose keys are neither strings nor signed integers: a
// flat array alternating key and value. Unknown keys are ignored.
//
// Decoding the stored value as a whole fails on bad JSON, invalid UTF-8, a top
// level that is not an object, nesting deeper than the platform's parser
// allows, or data larger than any real layout: that gives no value at all. An
// entry with a wrong type, a missing required field, a number out of range or
// an odd-length pair array is skipped on its own; the other entries decode.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "strip/saved_strip.h"

namespace vistarail {

// Strip key -> saved strip.
using SavedLayouts = std::map<std::string, SavedStrip>;

// Limits on stored data: beyond them the value counts as undecodable.
inline constexpr size_t kMaxSavedLayoutBytes = 8u << 20;
inline constexpr int kMaxSavedLayoutNesting = 512;

std::optional<SavedLayouts> decodeSavedLayouts(std::span<const uint8_t> data);
// UTF-8 JSON without whitespace; absent when a value cannot be written (a
// number that is not finite, a key that is not valid UTF-8).
std::optional<std::vector<uint8_t>> encodeSavedLayouts(const SavedLayouts& layouts);
// Whether every number of the strip can be written (all finite).
bool canEncode(const SavedStrip& strip);

}  // namespace vistarail
