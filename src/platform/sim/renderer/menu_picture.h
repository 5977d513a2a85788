#pragma once
// Draws the program's status item and its open menu to a PNG, the way the
// menu bar shows them: the icon (the strip symbol, slashed and dimmed when
// the program is not managing), then the menu below it with its rows, check
// marks, shortcut texts in the secondary colour, key equivalents, separators
// and disabled rows in grey.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/menu.h"

namespace vistarail::sim {

struct MenuPicture {
  Menu menu;
  std::string iconSymbol;  // empty: no image
  bool iconDimmed = false;
};

// On failure returns a one-line description and leaves no file behind.
[[nodiscard]] std::optional<std::string> writeMenuPng(const MenuPicture& picture,
                                                      const std::filesystem::path& path);

}  // namespace vistarail::sim
