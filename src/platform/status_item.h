#pragma once
// An item in the menu bar's status area, shaped after the system status bar:
// a button showing an image (a symbol of the system catalogue, usually a
// template image that follows the menu bar's appearance), an appears-disabled
// flag that dims it, a tooltip, and the menu that opens on a click.
//
// The menu's `needsUpdate` runs on the main queue each time the menu is about
// to open, before it shows, and may rebuild it: nothing of the menu needs to be
// kept up to date while it is closed.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/menu.h"

namespace vistarail {

// The length that makes an item as wide as the menu bar is high.
inline constexpr double kSquareStatusItemLength = -2;

struct SymbolImage {
  std::string symbolName;
  std::string accessibilityDescription;
  bool isTemplate = false;
  friend bool operator==(const SymbolImage&, const SymbolImage&) = default;
};

class StatusItem {
 public:
  virtual ~StatusItem() = default;
  virtual void setImage(std::optional<SymbolImage> image) = 0;
  virtual void setAppearsDisabled(bool appearsDisabled) = 0;
  virtual void setToolTip(std::string toolTip) = 0;
  virtual void setMenu(Menu menu, std::function<void(Menu&)> needsUpdate) = 0;
};

class StatusBar {
 public:
  virtual ~StatusBar() = default;
  // The item stays in the menu bar until it is destroyed.
  virtual std::unique_ptr<StatusItem> makeStatusItem(double length) = 0;
  // An image of the system's symbol catalogue; absent when the catalogue has
  // no symbol of that name (older systems lack newer symbols).
  virtual std::optional<SymbolImage> systemSymbol(const std::string& name,
                                                  const std::string& accessibilityDescription) = 0;
};

}  // namespace vistarail
