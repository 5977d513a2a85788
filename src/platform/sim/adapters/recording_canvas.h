#pragma once
// A Canvas that records what is drawn as a display list, with text measured
// by a fixed metric of the simulated system font: each character is a share
// of the font size wide (a little more in semibold) and a line is 1.2 font
// sizes high. The metric is deterministic so that pictures and tests do not
// depend on the fonts of the machine; the renderer fits its real glyphs into
// the recorded rectangles.

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/sim/world/display_list.h"

namespace vistarail::sim {

// An application's icon in the simulated world: the renderer paints a tile in
// the application's tint with its initial.
class SimImage : public Image {
 public:
  SimImage(std::string appName, Pid pid) : appName_(std::move(appName)), pid_(pid) {}
  Size size() const override { return {512, 512}; }
  const std::string& appName() const { return appName_; }
  Pid pid() const { return pid_; }

 private:
  std::string appName_;
  Pid pid_;
};

inline constexpr double kSimGlyphWidthRegular = 0.55;
inline constexpr double kSimGlyphWidthSemibold = 0.6;
inline constexpr double kSimLineHeight = 1.2;

double simTextWidth(const TextRun& run);
// The runs cut at the tail, with an ellipsis, to fit the width.
std::vector<TextRun> truncatedToWidth(const std::vector<TextRun>& runs, double width);

class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(DisplayList& out) : out_(out) {}

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
  DisplayList& out_;
};

}  // namespace vistarail::sim
