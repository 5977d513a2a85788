#include "overlays/overlay_views.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "base/geometry.h"

namespace vistarail {

void FocusBorderView::draw(Canvas& canvas) {
  const double inset = lineWidth / 2 + 1;
  canvas.strokeRoundedRect(Rect({0, 0}, boundsSize()).insetBy(inset, inset),
                           kCornerRadius + lineWidth / 2, lineWidth,
                           platform_.systemColors().controlAccent);
}

void DimView::draw(Canvas& canvas) {
  canvas.fillRect(Rect({0, 0}, boundsSize()), kBlack.withAlpha(amount), CompositeOp::sourceOver);
}

void CaptionView::draw(Canvas& canvas) {
  if (!text) return;
  const double h = std::ceil(canvas.measureText(*text).height);
  const Size bounds = boundsSize();
  const double y = roundHalfAwayFromZero((bounds.height - h) / 2);
  canvas.drawText(*text, Rect(kHorizontalInset, y, bounds.width - 2 * kHorizontalInset, h));
}

void EdgeArrowView::draw(Canvas& canvas) {
  const Rect bounds({0, 0}, boundsSize());
  const SystemColors colors = platform_.systemColors();
  canvas.saveState();
  // One point down: below the button, as light from above would cast it.
  canvas.setShadow({0, 1}, 4, kBlack.withAlpha(0.25));
  canvas.fillOval(bounds.insetBy(3, 3), colors.windowBackground.withAlpha(isHovered_ ? 1.0 : 0.92));
  canvas.restoreState();
  const Point m = bounds.center();
  const double d = side_ == EdgeSide::left ? 3 : -3;
  canvas.strokePath({{m.x + d, m.y + 7}, {m.x - d, m.y}, {m.x + d, m.y - 7}}, 2.5, LineCap::round,
                    LineJoin::round, colors.label);
}

void EdgeArrowView::mouseEntered(Point) {
  isHovered_ = true;
  setNeedsDisplay();
  if (onHoverChange) onHoverChange(true);
}

void EdgeArrowView::mouseExited(Point) {
  isHovered_ = false;
  setNeedsDisplay();
  if (onHoverChange) onHoverChange(false);
}

void EdgeArrowView::mouseDown(Point) {
  if (onClick) onClick();
}

namespace {

TextRun captionRun(std::string text, FontWeight weight) {
  const double alpha = weight == FontWeight::semibold ? 0.95 : 0.8;
  return {std::move(text), 12, weight, kWhite.withAlpha(alpha)};
}

}  // namespace

std::optional<AttributedText> captionText(const StripSnapshot::WindowLabel& label,
                                          const TextServices& text) {
  const std::string& t = label.title;
  const std::string& a = label.appName;
  if (!t.empty() && !a.empty() && !text.containsIgnoringCase(t, a)) {
    return AttributedText{
        {captionRun(a, FontWeight::semibold), captionRun("  \u2014  " + t, FontWeight::regular)}};
  }
  if (!t.empty()) return AttributedText{{captionRun(t, FontWeight::semibold)}};
  if (!a.empty()) return AttributedText{{captionRun(a, FontWeight::semibold)}};
  return std::nullopt;
}

}  // namespace vistarail
