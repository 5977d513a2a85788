#include "platform/macos/adapters/mac_canvas.h"

#include "platform/macos/adapters/objc_bridge.h"
#include "platform/macos/canvas_geometry.h"

namespace vistarail::macos {

namespace {

CGRect cgRect(const Rect& r) {
  return {{r.origin.x, r.origin.y}, {r.size.width, r.size.height}};
}

NSColor* nsColor(Color c) {
  return [NSColor colorWithSRGBRed:c.red green:c.green blue:c.blue alpha:c.alpha];
}

CGLineCap cgCap(LineCap cap) {
  switch (cap) {
    case LineCap::round:
      return kCGLineCapRound;
    case LineCap::square:
      return kCGLineCapSquare;
    case LineCap::butt:
      break;
  }
  return kCGLineCapButt;
}

CGLineJoin cgJoin(LineJoin join) {
  switch (join) {
    case LineJoin::round:
      return kCGLineJoinRound;
    case LineJoin::bevel:
      return kCGLineJoinBevel;
    case LineJoin::miter:
      break;
  }
  return kCGLineJoinMiter;
}

}  // namespace

NSAttributedString* attributedString(const AttributedText& text) {
  NSMutableParagraphStyle* paragraph = [[NSMutableParagraphStyle alloc] init];
  paragraph.alignment = NSTextAlignmentCenter;
  paragraph.lineBreakMode = NSLineBreakByTruncatingTail;
  NSMutableAttributedString* out = [[NSMutableAttributedString alloc] init];
  for (const TextRun& run : text.runs) {
    NSString* string = nsString(run.text);
    if (!string) continue;
    NSFont* font =
        [NSFont systemFontOfSize:run.fontSize
                          weight:run.weight == FontWeight::semibold ? NSFontWeightSemibold
                                                                    : NSFontWeightRegular];
    NSDictionary* attributes = @{
      NSFontAttributeName : font,
      NSForegroundColorAttributeName : nsColor(run.color),
      NSParagraphStyleAttributeName : paragraph,
    };
    [out appendAttributedString:[[NSAttributedString alloc] initWithString:string
                                                                attributes:attributes]];
  }
  return out;
}

MacCanvas::MacCanvas(CGContextRef context, bool flipped)
    : context_(context),
      flipped_(flipped),
      sRGB_(CFRef<CGColorSpaceRef>::adopt(CGColorSpaceCreateWithName(kCGColorSpaceSRGB))) {}

CFRef<CGColorRef> MacCanvas::color(Color c) const {
  const CGFloat components[] = {c.red, c.green, c.blue, c.alpha};
  return CFRef<CGColorRef>::adopt(CGColorCreate(sRGB_.get(), components));
}

void MacCanvas::saveState() {
  CGContextSaveGState(context_);
}
void MacCanvas::restoreState() {
  CGContextRestoreGState(context_);
}

void MacCanvas::setShadow(Size offset, double blurRadius, Color c) {
  const Size shadow = contextShadowOffset(offset, flipped_);
  CGContextSetShadowWithColor(context_, CGSize{shadow.width, shadow.height}, blurRadius,
                              color(c).get());
}

void MacCanvas::fillRect(const Rect& rect, Color c, CompositeOp op) {
  CGContextSaveGState(context_);
  CGContextSetBlendMode(context_, op == CompositeOp::copy ? kCGBlendModeCopy : kCGBlendModeNormal);
  CGContextSetFillColorWithColor(context_, color(c).get());
  CGContextFillRect(context_, cgRect(rect));
  CGContextRestoreGState(context_);
}

void MacCanvas::addRoundedRect(const Rect& rect, double radius) {
  const double r = clampedCornerRadius(rect, radius);
  const auto path = CFRef<CGPathRef>::adopt(
      CGPathCreateWithRoundedRect(cgRect(rect.standardized()), r, r, nullptr));
  CGContextAddPath(context_, path.get());
}

void MacCanvas::fillRoundedRect(const Rect& rect, double radius, Color c) {
  CGContextSetFillColorWithColor(context_, color(c).get());
  CGContextBeginPath(context_);
  addRoundedRect(rect, radius);
  CGContextFillPath(context_);
}

void MacCanvas::strokeRoundedRect(const Rect& rect, double radius, double lineWidth, Color c) {
  CGContextSetStrokeColorWithColor(context_, color(c).get());
  CGContextSetLineWidth(context_, lineWidth);
  CGContextBeginPath(context_);
  addRoundedRect(rect, radius);
  CGContextStrokePath(context_);
}

void MacCanvas::fillOval(const Rect& rect, Color c) {
  CGContextSetFillColorWithColor(context_, color(c).get());
  CGContextFillEllipseInRect(context_, cgRect(rect));
}

void MacCanvas::strokePath(const std::vector<Point>& points, double lineWidth, LineCap cap,
                           LineJoin join, Color c) {
  if (!isStrokablePath(points)) return;
  CGContextSetStrokeColorWithColor(context_, color(c).get());
  CGContextSetLineWidth(context_, lineWidth);
  CGContextSetLineCap(context_, cgCap(cap));
  CGContextSetLineJoin(context_, cgJoin(join));
  CGContextBeginPath(context_);
  CGContextMoveToPoint(context_, points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i) {
    CGContextAddLineToPoint(context_, points[i].x, points[i].y);
  }
  CGContextStrokePath(context_);
}

Size MacCanvas::measureText(const AttributedText& text) {
  const NSSize size = attributedString(text).size;
  return {size.width, size.height};
}

void MacCanvas::drawText(const AttributedText& text, const Rect& rect) {
  [attributedString(text)
      drawWithRect:cgRect(rect)
           options:NSStringDrawingUsesLineFragmentOrigin | NSStringDrawingTruncatesLastVisibleLine
           context:nil];
}

void MacCanvas::drawImage(const ImageRef& image, const Rect& rect) {
  const auto* mac = dynamic_cast<const MacImage*>(image.get());
  if (!mac) return;
  [mac->image() drawInRect:cgRect(rect)
                  fromRect:NSZeroRect
                 operation:NSCompositingOperationSourceOver
                  fraction:1.0
            respectFlipped:YES
                     hints:@{
                       NSImageHintInterpolation : @(NSImageInterpolationHigh)
                     }];
}

}  // namespace vistarail::macos
