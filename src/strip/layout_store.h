#pragma once
// Saved strips in the user defaults.
//
// "layout.v2" holds UTF-8 JSON mapping a strip key ("<display id>/<space
// id>") to a saved strip. "layout.v1", written by older versions, maps a
// Space id alone to a saved strip; it is read into the primary display's
// keys while a primary display is connected and removed by the first save
// made in that situation. Nothing is cached: every load reads the defaults.
//
// Stored data that does not decode is treated as absent; a save then writes
// what is in memory plus whatever could still be read.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/defaults.h"
#include "strip/saved_layout.h"
#include "strip/strip.h"

namespace vistarail {

inline constexpr const char* kLayoutKey = "layout.v2";
inline constexpr const char* kLegacyLayoutKey = "layout.v1";

// What persistence needs to know of a connected display.
struct ConnectedDisplay {
  std::string id;  // the display's UUID in lower case
  bool isPrimary = false;
  // Every Space the system lists for the display now, full-screen ones
  // included; absent when it could not say.
  std::optional<std::vector<int64_t>> spaces = std::nullopt;
  friend bool operator==(const ConnectedDisplay&, const ConnectedDisplay&) = default;
};

// "<display id>/<space id in decimal>".
std::string stripKey(std::string_view displayId, int64_t spaceId);

// An older key: an optional sign and one or more decimal digits, nothing else
// (no spaces), within the range of a 64-bit integer.
std::optional<int64_t> parseLegacySpaceKey(std::string_view key);

// "layout.v2", plus the entries of "layout.v1" moved to the first primary
// display's keys where "layout.v2" has none. Without a primary display the
// older value is neither read nor touched.
SavedLayouts loadSavedLayouts(const Defaults& defaults,
                              std::span<const ConnectedDisplay> connected);

// One strip in memory, as saving sees it.
struct StripToSave {
  std::string_view displayId;
  int64_t spaceId = 0;
  const Strip* strip = nullptr;
};

// The saved form of a strip: its columns, focus, and the preferred heights of
// the windows it holds (heights of windows that left are not written).
SavedStrip savedStripOf(const Strip& strip);

enum class SaveOutcome { saved, encodingFailed };

// Writes "layout.v2": everything loadSavedLayouts finds, overwritten by every
// strip in memory except those still waiting for their pending restore (their
// stored entry stays as it was). An entry of a connected display whose Space
// the system no longer lists is dropped: Space numbers are never given again,
// so it could only grow the stored value. Removes "layout.v1" once written, if a
// primary display is connected. When the result cannot be encoded nothing is
// written or removed. The caller skips saving altogether while it has no
// display at all.
SaveOutcome saveLayouts(Defaults& defaults, std::span<const ConnectedDisplay> connected,
                        std::span<const StripToSave> strips);

}  // namespace vistarail
