#pragma once
// How FileDefaults writes property lists as JSON.
//
// Strings, numbers, booleans, arrays and dictionaries are written as their JSON
// counterparts. The property-list values JSON has no word for are written as
// one-member dictionaries whose key starts with "$":
//
//   data                       {"$data": "<standard base64 with padding>"}
//   NaN, +infinity, -infinity  {"$real": "nan"}, {"$real": "inf"}, {"$real": "-inf"}
//   a dictionary that would     {"$dict": {...the dictionary...}}
//   read back as one of these  (so a stored dictionary is never mistaken for a
//   tags, or as this escape    tag; any other dictionary is written as it is)
//
// Reading reverses this. A tag of the wrong shape ({"$data": 5}, bad base64, an
// unknown "$real" word) is not an error: it is kept as the dictionary it is, so
// that whatever a person wrote into the file survives and the typed getters
// coerce it like any other unexpected value.
//
// Both directions stop transforming below kMaxNestingDepth levels; the loader
// rejects documents nested deeper than that before decoding them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/property_list.h"

namespace vistarail::sim {

inline constexpr int kMaxNestingDepth = 256;

std::string base64Encode(const std::vector<uint8_t>& bytes);
// Strict: the standard alphabet, padded to a multiple of four, no whitespace.
std::optional<std::vector<uint8_t>> base64Decode(std::string_view text);

PropertyList encodeForFile(const PropertyList& value);
PropertyList decodeFromFile(const PropertyList& value);

}  // namespace vistarail::sim
