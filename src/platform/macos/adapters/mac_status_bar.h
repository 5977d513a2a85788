#pragma once
// The status-bar port over NSStatusBar: items of the system status bar, a
// button showing a symbol image with its tooltip and dimming, and a menu
// whose delegate runs the program's update before each opening.

#include "platform/status_item.h"

namespace vistarail::macos {

class MacStatusBar final : public StatusBar {
 public:
  std::unique_ptr<StatusItem> makeStatusItem(double length) override;
  std::optional<SymbolImage> systemSymbol(const std::string& name,
                                          const std::string& accessibilityDescription) override;
};

}  // namespace vistarail::macos
