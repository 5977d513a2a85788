#pragma once
// Pictures of the settings window: one PNG per tab, drawn from the window's
// own description of its controls.
//
//   vistarail-sim settings --out DIR   the window on the demo desktop, every tab

#include <filesystem>
#include <optional>
#include <string>

#include "settings_ui/settings_window.h"

namespace vistarail::simrun {

// Writes DIR/settings-<tab>.png for every tab (general, layout, ...) as the
// window shows them now; the window's own tab is left as it was. On failure
// a one-line description.
std::optional<std::string> writeSettingsPictures(SettingsWindow& window,
                                                 const std::filesystem::path& folder);

int settingsCommand(int argc, char** argv);

}  // namespace vistarail::simrun
