#pragma once
// The preset widths editor: a tile for every width a person is likely to
// want plus any custom preset they already have, each toggled on or off, and
// the sentence that says how the cycle-width shortcuts step through the
// widths that are on.

#include <functional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "settings_ui/controls.h"

namespace vistarail {

// Each tile is at least this wide, with this spacing, in an adaptive grid.
inline constexpr double kWidthTileMinimumWidth = 66;
inline constexpr double kWidthTileSpacing = 8;

struct WidthTile {
  double width = 0;
  int percent = 0;
  bool isOn = false;
  std::string help;                // what clicking does
  std::string accessibilityLabel;  // "45 percent width"
  friend bool operator==(const WidthTile&, const WidthTile&) = default;
};

// The standard widths and the stored presets that are not within the
// tolerance of one of them, ascending.
std::vector<double> presetCandidates(const std::vector<double>& presets);

std::vector<WidthTile> widthTiles(const AppSettings& settings);

// The percentages of the tiles that are on, ascending, each once.
std::vector<int> onPercentages(const AppSettings& settings);

std::string cycleSentence(const AppSettings& settings,
                          const std::function<std::string(const KeyCombo&)>& shortcutText);

// The tiles as controls: clicking one toggles its width.
Controls widthTileControls(AppSettings& settings);

}  // namespace vistarail
