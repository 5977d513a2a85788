#pragma once
// The ways the settings are kept in the defaults domain and the treatment a
// stored value gets when loaded. A stored value of the wrong kind never fails:
// each format says what it falls back to.

#include <optional>
#include <string>
#include <vector>

#include "app/setting.h"
#include "input/bindings.h"
#include "strip/center_mode.h"

namespace vistarail {

struct ClampRange {
  double lower;
  double upper;
};

// A bool; unreadable values read as false (the platform's coercion).
StoredFormat<bool> storedBool(bool registered);

// A double, optionally clamped on load: a value at or below the lower bound
// becomes it, then one above the upper bound becomes that. Unreadable values
// read as 0 before clamping, and infinities clamp to the bound they point to.
// NaN, or an infinity with no clamp, gives the registered default: no gap,
// speed or width can make sense of it.
StoredFormat<double> storedNumber(double registered, std::optional<ClampRange> clamp = {});

// An integer that must be one of the allowed values; anything else, readable
// or not, becomes the registered default.
StoredFormat<int> storedChoice(int registered, std::vector<int> allowed);

// An array of strings; anything else gives an empty list.
StoredFormat<std::vector<std::string>> storedStringList(std::vector<std::string> registered);

// The managed displays: an unregistered array of strings. Anything else, or
// nothing, gives the initial display alone, or no display when none is known.
StoredFormat<std::vector<std::string>> storedDisplayList();

// An array of finite numbers in stored order (an empty array stays empty).
// An element that is not a finite number, or a value that is no array, gives
// `fallback`.
StoredFormat<std::vector<double>> storedNumberList(std::vector<double> registered,
                                                   std::vector<double> fallback);

// The case name; an unknown or missing name gives the registered case.
StoredFormat<CenterMode> storedCenterMode(CenterMode registered);

// The bindings document as data; unregistered. Missing or undecodable data
// gives the default bindings and is left stored until the next assignment.
StoredFormat<Bindings> storedBindings();

}  // namespace vistarail
