#include "settings_ui/settings_tab.h"

namespace vistarail {

namespace {

struct TabText {
  std::string_view raw;
  std::string_view label;
  std::string_view symbol;
};

constexpr std::array<TabText, 6> kTabs{{
    {"general", "General", "gearshape"},
    {"layout", "Layout", "rectangle.split.3x1"},
    {"gestures", "Gestures", "hand.draw"},
    {"shortcuts", "Shortcuts", "command"},
    {"rules", "Rules", "list.bullet.rectangle"},
    {"setup", "Mac Setup", "checklist"},
}};

const TabText& text(SettingsTab tab) {
  return kTabs[static_cast<size_t>(tab)];
}

}  // namespace

std::string_view rawValue(SettingsTab tab) {
  return text(tab).raw;
}
std::string_view label(SettingsTab tab) {
  return text(tab).label;
}
std::string_view symbolName(SettingsTab tab) {
  return text(tab).symbol;
}

std::optional<SettingsTab> settingsTabFromRaw(std::string_view raw) {
  for (SettingsTab tab : kAllSettingsTabs) {
    if (rawValue(tab) == raw) return tab;
  }
  return std::nullopt;
}

}  // namespace vistarail
