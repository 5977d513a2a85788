#pragma once
// What a view drew, as a list of drawing commands. The simulated panels
// record their views' drawing into one of these and the renderer replays it,
// so the pictures show exactly what the program's own drawing code did while
// the simulator stays free of the program's views.

#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "platform/canvas.h"

namespace vistarail::sim {

struct DrawCommand {
  enum class Kind {
    saveState,
    restoreState,
    shadow,             // offset, blur, color
    fillRect,           // rect, color, op
    fillRoundedRect,    // rect, radius, color
    strokeRoundedRect,  // rect, radius, lineWidth, color
    fillOval,           // rect, color
    strokePath,         // points, lineWidth, cap, join, color
    text,               // runs (already truncated to fit), rect
    icon,               // appName, pid, rect
  };
  Kind kind = Kind::fillRect;
  Rect rect{};
  double radius = 0;
  double lineWidth = 0;
  Color color{};
  CompositeOp op = CompositeOp::sourceOver;
  std::vector<Point> points{};
  LineCap cap = LineCap::butt;
  LineJoin join = LineJoin::miter;
  Size offset{};
  double blur = 0;
  std::vector<TextRun> runs{};
  std::string appName{};
  Pid pid = 0;
  friend bool operator==(const DrawCommand&, const DrawCommand&) = default;
};

using DisplayList = std::vector<DrawCommand>;

}  // namespace vistarail::sim
