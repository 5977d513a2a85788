#pragma once
// The stored form of the key bindings: UTF-8 JSON, one object whose member
// names are action raw values and whose values are arrays of combos, e.g.
//   {"focusLeft":[{"keyCode":123,"modifiers":6144},{"keyCode":4,"modifiers":6144}]}
//
// Reading is forgiving across versions. Members naming an action this
// version does not know are skipped, whatever they hold, so a newer version's
// additions cost nothing but themselves (they are gone after the next save).
// An action the document lacks (one newer than the document) gets its
// default shortcuts, minus those the document already gives to other
// actions. An action stored with an empty list stays without shortcuts.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "input/bindings.h"

namespace vistarail {

// Larger stored data is not read (it cannot be a real set of bindings).
inline constexpr size_t kMaxBindingsDocumentBytes = 1 << 20;

// The members of known actions exactly as stored; absent when the bytes are
// not such a document: not JSON, not an object, or a known action whose value
// is not an array of combos.
std::optional<Bindings> decodeBindingsDocument(std::span<const uint8_t> bytes);

// Adds every action missing from the stored bindings with its defaults,
// leaving out each combo the stored bindings hold anywhere.
Bindings completedWithDefaults(Bindings stored);

// Bindings from the stored data: the defaults when there is none or it does
// not decode, else the decoded document completed with the defaults.
Bindings bindingsFromStoredData(const std::optional<std::vector<uint8_t>>& data);

// The document for the bindings, members in action order, no white space.
// Absent if encoding fails, in which case the caller keeps what is stored.
std::optional<std::vector<uint8_t>> encodeBindingsDocument(const Bindings& bindings);

}  // namespace vistarail
