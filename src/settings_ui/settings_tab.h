#pragma once
// The tabs of the settings window, in their order, and which one is shown.

#include <array>
#include <optional>
#include <string_view>

#include "app/published.h"

namespace vistarail {

enum class SettingsTab { general, layout, gestures, shortcuts, rules, setup };

inline constexpr std::array<SettingsTab, 6> kAllSettingsTabs = {
    SettingsTab::general,   SettingsTab::layout, SettingsTab::gestures,
    SettingsTab::shortcuts, SettingsTab::rules,  SettingsTab::setup};

std::string_view rawValue(SettingsTab tab);
std::optional<SettingsTab> settingsTabFromRaw(std::string_view raw);
std::string_view label(SettingsTab tab);
// The name of the tab's symbol in the system's symbol catalogue.
std::string_view symbolName(SettingsTab tab);

// The tab the window shows; kept while the window is closed, so the window
// opens again where the user left it.
struct SettingsNavigation {
  Published<SettingsTab> tab{SettingsTab::general};
};

}  // namespace vistarail
