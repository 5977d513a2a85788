#pragma once
// The Layout and Gestures tabs: plain bindings of the settings store, plus
// the preset widths editor and the switch to the Mac Setup tab.

#include <functional>

#include "settings_ui/controls.h"
#include "settings_ui/settings_context.h"

namespace vistarail {

Controls layoutControls(SettingsContext& context);

// `showSetup` switches the window to the Mac Setup tab.
Controls gestureControls(SettingsContext& context, const std::function<void()>& showSetup);

}  // namespace vistarail
