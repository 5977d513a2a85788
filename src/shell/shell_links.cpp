#include "shell/shell_links.h"

namespace vistarail {

std::string_view toString(SettingsPage page) {
  switch (page) {
    case SettingsPage::general:
      return "general";
    case SettingsPage::layout:
      return "layout";
    case SettingsPage::gestures:
      return "gestures";
    case SettingsPage::shortcuts:
      return "shortcuts";
    case SettingsPage::rules:
      return "rules";
    case SettingsPage::setup:
      return "setup";
  }
  return "general";
}

}  // namespace vistarail
