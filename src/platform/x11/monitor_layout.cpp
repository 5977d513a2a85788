#include "platform/x11/monitor_layout.h"

#include <algorithm>
#include <cctype>

namespace vistarail::x11 {

namespace {

constexpr double kDefaultRefreshRate = 60;

// The part of the monitor a strut of the root's edge does not take.
Rect withoutStrut(Rect visible, const Rect& monitor, const Strut& s, Size root) {
  const auto overlaps = [](double a0, double a1, double b0, double b1) {
    return a0 < b1 && b0 < a1;
  };
  double minX = visible.minX(), maxX = visible.maxX();
  double minY = visible.minY(), maxY = visible.maxY();
  if (s.left > 0 && overlaps(s.leftStartY, s.leftEndY + 1, monitor.minY(), monitor.maxY())) {
    minX = std::max(minX, s.left);
  }
  if (s.right > 0 && overlaps(s.rightStartY, s.rightEndY + 1, monitor.minY(), monitor.maxY())) {
    maxX = std::min(maxX, root.width - s.right);
  }
  if (s.top > 0 && overlaps(s.topStartX, s.topEndX + 1, monitor.minX(), monitor.maxX())) {
    minY = std::max(minY, s.top);
  }
  if (s.bottom > 0 && overlaps(s.bottomStartX, s.bottomEndX + 1, monitor.minX(), monitor.maxX())) {
    maxY = std::min(maxY, root.height - s.bottom);
  }
  // A strut that would swallow the monitor is someone else's mistake.
  if (maxX - minX < 1 || maxY - minY < 1) return visible;
  return Rect(minX, minY, maxX - minX, maxY - minY);
}

std::string uuidOf(const MonitorRecord& m, size_t index) {
  std::string name = m.name.empty() ? "MONITOR-" + std::to_string(index + 1) : m.name;
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return "X11-" + name;
}

}  // namespace

std::optional<Strut> strutFromProperty(const std::vector<long>& values, Size root) {
  Strut s;
  if (values.size() >= 12) {
    s.left = values[0], s.right = values[1], s.top = values[2], s.bottom = values[3];
    s.leftStartY = values[4], s.leftEndY = values[5];
    s.rightStartY = values[6], s.rightEndY = values[7];
    s.topStartX = values[8], s.topEndX = values[9];
    s.bottomStartX = values[10], s.bottomEndX = values[11];
  } else if (values.size() >= 4) {
    s.left = values[0], s.right = values[1], s.top = values[2], s.bottom = values[3];
    s.leftEndY = s.rightEndY = root.height - 1;
    s.topEndX = s.bottomEndX = root.width - 1;
  } else {
    return std::nullopt;
  }
  for (double v : {s.left, s.right, s.top, s.bottom}) {
    if (v < 0) return std::nullopt;
  }
  return s;
}

std::vector<DisplayRecord> displaysFromMonitors(std::vector<MonitorRecord> monitors,
                                                const std::vector<Strut>& struts, Size root,
                                                RootSpace& space) {
  std::erase_if(monitors, [](const MonitorRecord& m) { return m.frame.isEmpty(); });
  // Mirrors show one picture: one display.
  std::vector<MonitorRecord> unique;
  for (MonitorRecord& m : monitors) {
    const bool seen = std::any_of(unique.begin(), unique.end(),
                                  [&](const MonitorRecord& u) { return u.frame == m.frame; });
    if (!seen) unique.push_back(std::move(m));
  }
  if (unique.empty()) {
    MonitorRecord whole;
    whole.name = "SCREEN";
    whole.frame = Rect(0, 0, root.width, root.height);
    whole.primary = true;
    unique.push_back(whole);
  }
  auto primary =
      std::find_if(unique.begin(), unique.end(), [](const MonitorRecord& m) { return m.primary; });
  if (primary == unique.end()) {
    primary = std::find_if(unique.begin(), unique.end(), [](const MonitorRecord& m) {
      return m.frame.origin == Point{0, 0};
    });
  }
  if (primary == unique.end()) primary = unique.begin();
  std::rotate(unique.begin(), primary, primary + 1);

  space.origin = unique.front().frame.origin;
  const double primaryHeight = unique.front().frame.height();
  std::vector<DisplayRecord> displays;
  for (size_t i = 0; i < unique.size(); ++i) {
    const MonitorRecord& m = unique[i];
    Rect visible = m.frame;
    for (const Strut& s : struts) visible = withoutStrut(visible, m.frame, s, root);
    DisplayRecord d;
    d.frame = space.toGlobal(m.frame);
    d.visibleFrame = space.toGlobal(visible);
    d.uuid = uuidOf(m, i);
    d.refreshRate = m.refreshRate > 0 ? m.refreshRate : kDefaultRefreshRate;
    d.screen.screenNumber = m.nameAtom != 0 ? m.nameAtom : static_cast<DisplayNumber>(i + 1);
    d.screen.localizedName = m.name;
    d.screen.frame = flipVertically(d.frame, primaryHeight);
    d.screen.visibleFrame = flipVertically(d.visibleFrame, primaryHeight);
    displays.push_back(std::move(d));
  }
  return displays;
}

}  // namespace vistarail::x11
