#pragma once
// The canvas port over CoreGraphics, with AppKit's text and image drawing,
// for a view's drawing pass. Objective-C++ only (include from .mm files).
//
// Shapes go straight to the context. Text and images go through AppKit,
// which honours a flipped view's coordinates (the bare context calls would
// draw them upside down there); they need the view's graphics context to be
// the current one, which it is inside a drawing pass.

#import <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>

#include "platform/canvas.h"
#include "platform/macos/adapters/cf_ref.h"

namespace vistarail::macos {

// An application's icon.
class MacImage final : public Image {
 public:
  explicit MacImage(NSImage* image) : image_(image) {}
  Size size() const override { return {image_.size.width, image_.size.height}; }
  NSImage* image() const { return image_; }

 private:
  NSImage* image_;
};

// The system font runs of a text, centred and cut at the tail.
NSAttributedString* attributedString(const AttributedText& text);

class MacCanvas final : public Canvas {
 public:
  MacCanvas(CGContextRef context, bool flipped);

  void saveState() override;
  void restoreState() override;
  void setShadow(Size offset, double blurRadius, Color color) override;
  void fillRect(const Rect& rect, Color color, CompositeOp op) override;
  void fillRoundedRect(const Rect& rect, double radius, Color color) override;
  void strokeRoundedRect(const Rect& rect, double radius, double lineWidth, Color color) override;
  void fillOval(const Rect& rect, Color color) override;
  void strokePath(const std::vector<Point>& points, double lineWidth, LineCap cap, LineJoin join,
                  Color color) override;
  Size measureText(const AttributedText& text) override;
  void drawText(const AttributedText& text, const Rect& rect) override;
  void drawImage(const ImageRef& image, const Rect& rect) override;

 private:
  CFRef<CGColorRef> color(Color c) const;
  void addRoundedRect(const Rect& rect, double radius);

  CGContextRef context_;  // the drawing pass's; not ours
  bool flipped_;
  CFRef<CGColorSpaceRef> sRGB_;
};

}  // namespace vistarail::macos
