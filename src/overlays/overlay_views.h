#pragma once
// The small views of the other overlay panels. They hold only what they draw;
// placement, visibility, fading and settings belong to the controller, which
// marks a view for redraw after changing one of its fields.

#include <functional>
#include <optional>

#include "overlays/strip_snapshot.h"
#include "platform/overlay_panels.h"
#include "platform/text_services.h"

namespace vistarail {

// An accent outline whose inner edge lies one point outside the window: the
// panel is the line width plus 2 points larger than the window on every side.
class FocusBorderView final : public PanelView {
 public:
  explicit FocusBorderView(OverlayPanels& platform) : platform_(platform) {}
  double lineWidth = 4;
  static constexpr double kCornerRadius = 14;
  void draw(Canvas& canvas) override;

 private:
  OverlayPanels& platform_;
};

// Black at `amount` over the whole display, kept behind the focused window.
class DimView final : public PanelView {
 public:
  double amount = 0.35;
  void draw(Canvas& canvas) override;
};

// The name of the window pointed at in the minimap, centred.
class CaptionView final : public PanelView {
 public:
  std::optional<AttributedText> text;
  static constexpr double kHorizontalInset = 12;
  void draw(Canvas& canvas) override;
};

// A round button with a chevron at one edge of the display.
class EdgeArrowView final : public PanelView {
 public:
  static constexpr Size kSize{40, 40};
  EdgeArrowView(OverlayPanels& platform, EdgeSide side) : platform_(platform), side_(side) {
    hostResized(kSize);
  }
  EdgeSide side() const { return side_; }
  bool isHovered() const { return isHovered_; }
  std::function<void()> onClick;
  std::function<void(bool)> onHoverChange;

  void draw(Canvas& canvas) override;
  void mouseEntered(Point p) override;
  void mouseExited(Point p) override;
  void mouseDown(Point p) override;

 private:
  OverlayPanels& platform_;
  EdgeSide side_;
  bool isHovered_ = false;
};

// The caption of a window: the application in semibold and the title in
// regular, or whichever of the two says something when the title already
// names the application (in any script and case, as the platform's text
// services match it); none when both are empty.
std::optional<AttributedText> captionText(const StripSnapshot::WindowLabel& label,
                                          const TextServices& text);

}  // namespace vistarail
