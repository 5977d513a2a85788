#pragma once
// Which windows tile. The verdict is taken from accessibility attributes on the
// application's queue at every scan; whether a tileable window is actually in
// a strip also depends on full screen, the Space, the user's float toggle and
// the floating applications, which the reconcile pass checks.

#include <optional>
#include <string>

#include "platform/accessibility.h"

namespace vistarail {

inline constexpr double kMinTileableWidthPoints = 160;
inline constexpr double kMinTileableHeightPoints = 100;

// The attributes of one window element the verdict is made from.
struct WindowClassification {
  std::optional<std::string> role;
  std::optional<std::string> subrole;
  bool isModal = false;                   // "AXModal"; unreadable counts as false
  std::optional<std::string> parentRole;  // role of "AXParent"; absent without a parent
  bool hasOwningWindow = false;           // "AXWindow" names another element
  // Tri-state: absent means the read failed with an unexpected error.
  std::optional<bool> hasMinimizeButton;
  std::optional<bool> hasFullScreenButton;
  std::optional<bool> hasDocument;

  // A dialog, sheet, panel or other secondary window: never tiled.
  bool isAuxiliary() const;

  friend bool operator==(const WindowClassification&, const WindowClassification&) = default;
};

WindowClassification readClassification(Accessibility& ax, const AXElement& window);

// Whether the window tiles. A window that tiled at the previous scan
// (wasTileable) keeps its verdict unless it has turned auxiliary, since the
// other checks (settability, size mid-animation) can fail for a moment.
bool isTileable(Accessibility& ax, const AXElement& window, bool wasTileable);

}  // namespace vistarail
