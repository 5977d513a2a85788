#include "platform/sim/adapters/recording_canvas.h"

#include <algorithm>
#include <cmath>

namespace vistarail::sim {

namespace {

// Code points of UTF-8 text, each kept whole.
std::vector<std::string> codePoints(const std::string& text) {
  std::vector<std::string> points;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    points.push_back(text.substr(i, std::min(length, text.size() - i)));
    i += length;
  }
  return points;
}

double glyphWidth(const TextRun& run) {
  return run.fontSize *
         (run.weight == FontWeight::semibold ? kSimGlyphWidthSemibold : kSimGlyphWidthRegular);
}

constexpr const char* kEllipsis = "\u2026";

}  // namespace

double simTextWidth(const TextRun& run) {
  return static_cast<double>(codePoints(run.text).size()) * glyphWidth(run);
}

std::vector<TextRun> truncatedToWidth(const std::vector<TextRun>& runs, double width) {
  double total = 0;
  for (const TextRun& run : runs) total += simTextWidth(run);
  if (total <= width) return runs;
  std::vector<TextRun> kept;
  double used = 0;
  for (const TextRun& run : runs) {
    TextRun cut = run;
    cut.text.clear();
    const double ellipsis = glyphWidth(run);
    for (const std::string& point : codePoints(run.text)) {
      if (used + glyphWidth(run) + ellipsis > width) {
        cut.text += kEllipsis;
        kept.push_back(cut);
        return kept;
      }
      cut.text += point;
      used += glyphWidth(run);
    }
    kept.push_back(cut);
  }
  return kept;
}

void RecordingCanvas::saveState() {
  out_.push_back({.kind = DrawCommand::Kind::saveState});
}

void RecordingCanvas::restoreState() {
  out_.push_back({.kind = DrawCommand::Kind::restoreState});
}

void RecordingCanvas::setShadow(Size offset, double blurRadius, Color color) {
  out_.push_back(
      {.kind = DrawCommand::Kind::shadow, .color = color, .offset = offset, .blur = blurRadius});
}

void RecordingCanvas::fillRect(const Rect& rect, Color color, CompositeOp op) {
  out_.push_back({.kind = DrawCommand::Kind::fillRect, .rect = rect, .color = color, .op = op});
}

void RecordingCanvas::fillRoundedRect(const Rect& rect, double radius, Color color) {
  out_.push_back(
      {.kind = DrawCommand::Kind::fillRoundedRect, .rect = rect, .radius = radius, .color = color});
}

void RecordingCanvas::strokeRoundedRect(const Rect& rect, double radius, double lineWidth,
                                        Color color) {
  out_.push_back({.kind = DrawCommand::Kind::strokeRoundedRect,
                  .rect = rect,
                  .radius = radius,
                  .lineWidth = lineWidth,
                  .color = color});
}

void RecordingCanvas::fillOval(const Rect& rect, Color color) {
  out_.push_back({.kind = DrawCommand::Kind::fillOval, .rect = rect, .color = color});
}

void RecordingCanvas::strokePath(const std::vector<Point>& points, double lineWidth, LineCap cap,
                                 LineJoin join, Color color) {
  out_.push_back({.kind = DrawCommand::Kind::strokePath,
                  .lineWidth = lineWidth,
                  .color = color,
                  .points = points,
                  .cap = cap,
                  .join = join});
}

Size RecordingCanvas::measureText(const AttributedText& text) {
  double width = 0;
  double size = 0;
  for (const TextRun& run : text.runs) {
    width += simTextWidth(run);
    size = std::max(size, run.fontSize);
  }
  return {width, size * kSimLineHeight};
}

void RecordingCanvas::drawText(const AttributedText& text, const Rect& rect) {
  out_.push_back({.kind = DrawCommand::Kind::text,
                  .rect = rect,
                  .runs = truncatedToWidth(text.runs, std::max(0.0, rect.width()))});
}

void RecordingCanvas::drawImage(const ImageRef& image, const Rect& rect) {
  const auto* icon = dynamic_cast<const SimImage*>(image.get());
  if (!icon) return;
  out_.push_back({.kind = DrawCommand::Kind::icon,
                  .rect = rect,
                  .appName = icon->appName(),
                  .pid = icon->pid()});
}

}  // namespace vistarail::sim
