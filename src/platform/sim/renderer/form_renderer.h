#pragma once
// Draws the program's settings window, as it describes itself, to a PNG: the
// title bar, the tab bar with each tab's symbol, and the selected tab's
// controls in grouped sections, every label and text legible. The picture
// is as tall as the tab's content (the window itself scrolls), and at least
// as tall as the window.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/form.h"

namespace vistarail::sim {

// Points to pixels; 2 is a Retina display.
inline constexpr double kFormPictureScale = 2.0;

// On failure a one-line description; no partial file is left behind.
[[nodiscard]] std::optional<std::string> writeFormPng(const FormWindow& form,
                                                      const std::filesystem::path& path,
                                                      double scale = kFormPictureScale);

// The height in points the picture of this window takes.
double formPictureHeight(const FormWindow& form);

}  // namespace vistarail::sim
