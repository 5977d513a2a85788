#pragma once
// The program's state as scripts read it: displays with the Space each shows
// and its strip (columns left to right with their widths and windows), the
// windows with application, title, frame and marks, the focused window, the
// status text and the settings. Built on the main queue from the window
// manager's public state; names are the protocol's, documented in
// docs/scripting.md.

#include <nlohmann/json.hpp>

#include "app/app_settings.h"
#include "windows/window_manager.h"

namespace vistarail::control {

using Json = nlohmann::json;

// {"status", "paused", "focused", "displays", "windows", "settings"}.
Json stateJson(const WindowManager& manager, const AppSettings& settings);
// The windows, ordered by display, strip position, then id for the rest.
Json windowsJson(const WindowManager& manager);
// The focused window as windowsJson lists it, or null.
Json focusedJson(const WindowManager& manager);
// The displays in connection order.
Json displaysJson(const WindowManager& manager);
// Every setting that can be set by name, by property.
Json settingsJson(const AppSettings& settings);
// [x, y, width, height] in points, top-left origin.
Json rectJson(const Rect& rect);

}  // namespace vistarail::control
