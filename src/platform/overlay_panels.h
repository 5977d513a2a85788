#pragma once
// Borderless, non-activating panels of this program's own, and the views they
// host: the overlays' window service, shaped after the platform's panel
// windows.
//
// A panel never becomes the key or main window, joins all Spaces, is
// stationary, stays out of the window cycle and may sit beside full-screen
// windows. Its frame is in window coordinates: the origin at the bottom-left of
// the primary display, y growing upwards. Ordering is relative to the window
// server's window numbers, so a panel can be put directly above or below
// another application's window; a window raised later goes in front of it, as
// on the system.

#include <functional>
#include <memory>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "platform/canvas.h"

namespace vistarail {

// Window levels the overlays use.
inline constexpr int kNormalWindowLevel = 0;
inline constexpr int kStatusBarWindowLevel = 25;

enum class Cursor { arrow, openHand, closedHand };

struct CursorRect {
  Rect rect;  // view coordinates
  Cursor cursor = Cursor::arrow;
  friend bool operator==(const CursorRect&, const CursorRect&) = default;
};

// The content of a panel. It fills the panel; its coordinates are flipped
// (origin top-left). Mouse events arrive in view coordinates on the main
// queue, and only for panels that do not ignore the mouse.
class PanelView {
 public:
  virtual ~PanelView() = default;

  virtual void draw(Canvas& canvas) = 0;

  virtual void mouseEntered(Point) {}
  virtual void mouseMoved(Point) {}
  virtual void mouseExited(Point) {}
  virtual void mouseDown(Point) {}
  virtual void mouseDragged(Point) {}
  virtual void mouseUp(Point) {}
  virtual std::vector<CursorRect> cursorRects() const { return {}; }

  Size boundsSize() const { return bounds_; }
  // Redraws the whole view in the next display pass.
  void setNeedsDisplay() {
    needsDisplay_ = true;
    if (host_) host_();
  }
  bool needsDisplay() const { return needsDisplay_; }

  // For the panel hosting the view.
  void hostResized(Size bounds) { bounds_ = bounds; }
  void setHost(std::function<void()> invalidate) { host_ = std::move(invalidate); }
  void didDisplay() { needsDisplay_ = false; }

 private:
  Size bounds_{};
  bool needsDisplay_ = true;
  std::function<void()> host_;
};

enum class PanelBackground {
  none,         // clear, no shadow
  hudMaterial,  // a behind-window blurred HUD material with rounded corners
};

struct PanelStyle {
  int level = kNormalWindowLevel;
  bool ignoresMouseEvents = true;
  bool hasShadow = false;
  PanelBackground background = PanelBackground::none;
  double cornerRadius = 0;  // of the HUD background
  friend bool operator==(const PanelStyle&, const PanelStyle&) = default;
};

enum class WindowOrdering { above, below };

class OverlayPanel {
 public:
  virtual ~OverlayPanel() = default;

  virtual WindowId windowNumber() const = 0;
  virtual const PanelView& content() const = 0;

  virtual Rect frame() const = 0;
  // display: draw the content now if it needs it, rather than in the next pass.
  virtual void setFrame(const Rect& frame, bool display) = 0;

  virtual double alpha() const = 0;
  virtual void setAlpha(double alpha) = 0;
  // Animates the alpha to target over the duration; the completion runs on
  // the main queue when the animation ends, even when a later one replaced it.
  virtual void animateAlpha(double target, double durationSeconds,
                            std::function<void()> completion) = 0;

  // Whether the panel is in the window list (ordered in).
  virtual bool isVisible() const = 0;
  // In front of its level, even though this application is not active.
  virtual void orderFrontRegardless() = 0;
  // Directly above or below the window with that number; a number that no
  // window has orders the panel front (above) or back (below) of its level.
  virtual void order(WindowOrdering ordering, WindowId relativeTo) = 0;
  virtual void orderOut() = 0;

  virtual void invalidateCursorRects() = 0;
};
using OverlayPanelRef = std::shared_ptr<OverlayPanel>;

class OverlayPanels {
 public:
  virtual ~OverlayPanels() = default;
  // A new panel, ordered out, alpha 0, frame (0, 0, 10, 10).
  virtual OverlayPanelRef makePanel(const PanelStyle& style,
                                    std::shared_ptr<PanelView> content) = 0;
  // The icon of the running application with that pid; null if none runs.
  virtual ImageRef applicationIcon(Pid pid) = 0;
  virtual SystemColors systemColors() = 0;
  // The size the text takes on one line, as its drawing would measure it.
  virtual Size measureText(const AttributedText& text) = 0;
  // The cursor stack shared by the whole application.
  virtual void pushCursor(Cursor cursor) = 0;
  virtual void popCursor() = 0;
};

}  // namespace vistarail
