#pragma once
// Which windows tile. A scan reads the facts of each window on the
// application's queue (one round trip for the attributes, plus the parent's
// role and the settability checks where they matter); the verdict is made on
// the main queue when the scan is applied, against what the manager knows
// then. Whether a tileable window is actually in a strip also depends on full
// screen, the Space, the user's float toggle and the floating applications,
// which the reconcile pass checks.

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

// Everything a scan reads of one window.
struct WindowFacts {
  WindowClassification classification;
  // Whether position and size can be set; absent when the scan did not ask
  // (a window that is auxiliary, or whose settability is already known).
  std::optional<bool> settable;
  std::optional<Rect> frame;
  bool isFullScreen = false;
  std::optional<std::string> title;
};

// Reads the facts in one round trip for the attributes. `askSettable`: also
// ask whether position and size can be set (two more calls), which is only
// worth it for a window that may tile and whose answer is not known yet.
// `application`: the window's application element, whose role need not be
// read when it is the window's parent.
WindowFacts readWindowFacts(Accessibility& ax, const AXElement& window, bool askSettable,
                            const AXElement& application = {});
WindowClassification readClassification(Accessibility& ax, const AXElement& window);

// Whether a window with these facts tiles. A window that tiled at the
// previous scan (wasTileable) keeps its verdict unless it has turned
// auxiliary, since the other checks (settability, size mid-animation) can
// fail for a moment. `settable` is what is known of its settability when the
// facts do not say.
bool isTileable(const WindowFacts& facts, bool wasTileable, std::optional<bool> settable);

}  // namespace vistarail
