#pragma once
// How the strip scrolls to bring a newly focused column into view.

#include <array>
#include <optional>
#include <string_view>

namespace vistarail {

enum class CenterMode {
  never,       // scroll just enough to show the column
  onOverflow,  // keep the scroll if the column is fully visible, otherwise center it
  always,      // always center the column
};

inline constexpr std::array<CenterMode, 3> kAllCenterModes = {
    CenterMode::never, CenterMode::onOverflow, CenterMode::always};

constexpr std::string_view rawValue(CenterMode mode) {
  switch (mode) {
    case CenterMode::never: return "never";
    case CenterMode::onOverflow: return "onOverflow";
    case CenterMode::always: return "always";
  }
  return "never";
}

// No value for a string that names no case.
constexpr std::optional<CenterMode> centerModeFromRaw(std::string_view raw) {
  for (CenterMode mode : kAllCenterModes) {
    if (rawValue(mode) == raw) return mode;
  }
  return std::nullopt;
}

}  // namespace vistarail
