#pragma once
// The overlays of one display: the minimap above the Dock with its caption,
// the focus border kept directly above the focused window, the dim layer kept
// directly below it, and an arrow at each edge where there is more strip.
//
// The window manager hands it a snapshot and a few rectangles on every layout
// pass; the controller decides what shows. The minimap and arrows come up for
// a moment when the user moves through the strip (`pulse`) and stay while the
// pointer is over the minimap or a drag on it is under way. Panels are made
// on first use and kept; hiding fades one out and then orders it out, unless
// it was shown again meanwhile. Work that ends a pulse or an edge hover holds
// the controller weakly; make it with std::make_shared.
//
// All on the main queue.

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "overlays/minimap_view.h"
#include "overlays/overlay_views.h"
#include "overlays/strip_snapshot.h"
#include "platform/dispatch.h"
#include "platform/overlay_panels.h"
#include "platform/text_services.h"
#include "platform/workspace.h"

namespace vistarail {

// The settings the overlays follow, read by the manager at each update.
struct OverlaySettings {
  bool showMinimap = true;
  bool showFocusBorder = true;
  double focusBorderWidth = 3;
  bool showEdgeArrows = true;
  bool dimInactive = false;
  double dimAmount = 0.35;
  // Height of the primary display, for window coordinates (0 when none).
  double primaryHeight = 0;
  friend bool operator==(const OverlaySettings&, const OverlaySettings&) = default;
};

struct FocusTarget {
  WindowId window = 0;
  Rect frame;  // top-left space
  friend bool operator==(const FocusTarget&, const FocusTarget&) = default;
};

namespace fade {
inline constexpr double kMinimapSeconds = 0.18;
inline constexpr double kCaptionSeconds = 0.1;
inline constexpr double kBorderSeconds = 0.12;
inline constexpr double kBorderHideAllSeconds = 0.18;
inline constexpr double kDimSeconds = 0.18;
inline constexpr double kArrowSeconds = 0.18;
}  // namespace fade

inline constexpr double kPulseSeconds = 0.9;
inline constexpr double kEdgeHoverLingerSeconds = 1.2;

struct OverlayPorts {
  OverlayPanels& panels;
  Workspace& workspace;
  Dispatch& dispatch;
  // Matches the caption's application name inside its title.
  const TextServices& text;
};

class OverlayController : public std::enable_shared_from_this<OverlayController> {
 public:
  explicit OverlayController(const OverlayPorts& ports) : ports_(ports) {}
  OverlayController(const OverlayController&) = delete;
  OverlayController& operator=(const OverlayController&) = delete;

  std::function<void(EdgeSide)> onArrowClick;
  std::function<void(WindowId)> onMinimapClick;
  std::function<void(WindowId, MinimapDropTarget)> onMinimapReorder;

  void setSettings(const OverlaySettings& settings) { settings_ = settings; }

  // area and displayFrame in top-left space.
  void update(const StripSnapshot& snapshot, const Rect& area, const Rect& displayFrame,
              const std::optional<FocusTarget>& focusTarget, std::optional<WindowId> dimAnchor);
  // The same, taking the snapshot by swapping: `snapshot` is left holding the
  // previous one, whose buffers the caller fills again next frame.
  void update(StripSnapshot&& snapshot, const Rect& area, const Rect& displayFrame,
              const std::optional<FocusTarget>& focusTarget, std::optional<WindowId> dimAnchor);
  // Shows the minimap and arrows for a short while.
  void pulse();
  void refresh();
  void setEdgeHover(std::optional<EdgeSide> side);
  void hideAll();
  // The focus moved: the border and dim layer are ordered anew at the next
  // update even when their anchor window is the same.
  void clearOrdering() {
    borderOrdered_ = false;
    dimOrdered_ = false;
  }

  // --- Reading the state (the manager's mouse handling, tests)
  bool isPulsing() const { return pulseVisible_; }
  std::optional<EdgeSide> edgeHover() const { return edgeHover_; }
  // The strip as the last update described it.
  const StripSnapshot* snapshot() const { return snapshot_ ? &*snapshot_ : nullptr; }
  // The minimap panel when it exists and is meant to be visible.
  const OverlayPanel* visibleMinimap() const;
  MinimapView* minimapView() const { return minimapView_.get(); }
  EdgeArrowView* arrowView(EdgeSide side) const;
  const OverlayPanel* borderPanel() const { return border_.window.get(); }
  const OverlayPanel* dimPanel() const { return dim_.window.get(); }
  const OverlayPanel* captionPanel() const { return caption_.window.get(); }
  const OverlayPanel* arrowPanel(EdgeSide side) const;
  // Whether the panel is meant to be visible (it may still be fading).
  bool isShowing(const OverlayPanel* panel) const;

 private:
  template <typename View>
  struct Panel {
    OverlayPanelRef window;
    std::shared_ptr<View> view;
    bool targetVisible = false;
    explicit operator bool() const { return window != nullptr; }
  };

  template <typename View>
  void fade(Panel<View>& panel, bool visible, double seconds);
  void hideMinimap();
  void updateBorder(const std::optional<FocusTarget>& target);
  void updateDim(std::optional<WindowId> anchor);
  void refreshMinimap();
  void refreshArrow(EdgeSide side);
  void interactionChanged();
  void makeMinimap();
  Rect toWindow(const Rect& topLeft) const;

  OverlayPorts ports_;
  OverlaySettings settings_;
  Panel<MinimapView> minimap_;
  Panel<CaptionView> caption_;
  Panel<FocusBorderView> border_;
  Panel<DimView> dim_;
  std::map<EdgeSide, Panel<EdgeArrowView>> arrows_;
  std::shared_ptr<MinimapView> minimapView_;
  void showSnapshot(const Rect& area, const Rect& displayFrame,
                    const std::optional<FocusTarget>& focusTarget,
                    std::optional<WindowId> dimAnchor);

  std::optional<StripSnapshot> lastSignature_;
  StripSnapshot signature_;  // scratch, kept for its buffers
  std::optional<StripSnapshot> snapshot_;
  Rect area_;
  Rect displayFrame_;
  WorkItemRef hideWork_;
  bool pulseVisible_ = false;
  std::optional<EdgeSide> edgeHover_;
  WorkItemRef edgeHoverWork_;
  std::optional<WindowId> borderWindow_;
  bool borderOrdered_ = false;
  std::optional<WindowId> dimWindow_;
  bool dimOrdered_ = false;
};

}  // namespace vistarail
