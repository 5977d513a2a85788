#include "settings_ui/width_presets.h"

#include <algorithm>
#include <cmath>

namespace vistarail {

namespace {

constexpr double kStandardWidths[] = {0.25, 1.0 / 3, 0.4, 0.5, 0.6, 2.0 / 3, 0.75, 1.0};

int percentOf(double width) {
  return static_cast<int>(std::lround(width * 100));
}

std::string percentList(const std::vector<int>& percents) {
  std::string list;
  for (int percent : percents) list += (list.empty() ? "" : " → ") + std::to_string(percent) + "%";
  return list;
}

const KeyCombo* firstCombo(const Bindings& bindings, Action action) {
  auto found = bindings.find(action);
  if (found == bindings.end() || found->second.empty()) return nullptr;
  return &found->second.front();
}

}  // namespace

std::vector<double> presetCandidates(const std::vector<double>& presets) {
  std::vector<double> candidates(std::begin(kStandardWidths), std::end(kStandardWidths));
  for (double preset : presets) {
    if (!std::isfinite(preset)) continue;
    const bool nearStandard = std::ranges::any_of(kStandardWidths, [preset](double standard) {
      return std::abs(standard - preset) < kWidthPresetTolerance;
    });
    const bool nearCustom = std::ranges::any_of(candidates, [preset](double known) {
      return std::abs(known - preset) < kWidthPresetTolerance;
    });
    // Two custom presets within the tolerance of each other share one tile.
    if (!nearStandard && !nearCustom) candidates.push_back(preset);
  }
  std::ranges::sort(candidates);
  return candidates;
}

std::vector<WidthTile> widthTiles(const AppSettings& settings) {
  std::vector<WidthTile> tiles;
  for (double width : presetCandidates(settings.widthPresets.value())) {
    const bool on = settings.hasWidthPreset(width);
    const int percent = percentOf(width);
    tiles.push_back({width, percent, on,
                     on ? "Click to stop using this width" : "Click to use this width",
                     std::to_string(percent) + " percent width"});
  }
  return tiles;
}

std::vector<int> onPercentages(const AppSettings& settings) {
  std::vector<int> percents;
  for (const WidthTile& tile : widthTiles(settings)) {
    if (tile.isOn && (percents.empty() || percents.back() != tile.percent))
      percents.push_back(tile.percent);
  }
  return percents;
}

std::string cycleSentence(const AppSettings& settings,
                          const std::function<std::string(const KeyCombo&)>& shortcutText) {
  const std::string list = percentList(onPercentages(settings)) + " …";
  const Bindings& bindings = settings.bindings.value();
  const KeyCombo* forward = firstCombo(bindings, Action::cycleWidth);
  if (!forward)
    return "The “Cycle preset widths” shortcut makes the focused window the next width up: " + list;
  std::string sentence = "Each press of " + shortcutText(*forward) +
                         " makes the focused window the next width up: " + list;
  if (const KeyCombo* back = firstCombo(bindings, Action::cycleWidthBack))
    sentence += " " + shortcutText(*back) + " goes back down.";
  return sentence;
}

Controls widthTileControls(AppSettings& settings) {
  Controls controls;
  for (const WidthTile& tile : widthTiles(settings)) {
    Control control;
    control.view.kind = FormControlKind::tile;
    control.view.label = std::to_string(tile.percent) + "%";
    control.view.id = "tile." + control.view.label;
    control.view.isOn = tile.isOn;
    control.view.value = tile.width;
    control.view.help = tile.help;
    control.view.detail = tile.accessibilityLabel;
    control.act = [&settings, width = tile.width](const ControlInput&) {
      settings.toggleWidthPreset(width);
    };
    controls.push_back(std::move(control));
  }
  return controls;
}

}  // namespace vistarail
