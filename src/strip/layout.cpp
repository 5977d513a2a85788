#include "strip/layout.h"

#include <algorithm>
#include <cmath>

#include "strip/height_share.h"

namespace vistarail {

namespace {

double widthFor(double proportion, double usableWidth, double innerGap) {
  double w = roundHalfAwayFromZero(proportion * (usableWidth + innerGap) - innerGap);
  if (!(w >= kMinColumnWidthPoints)) w = kMinColumnWidthPoints;  // NaN included
  return std::min(w, usableWidth);
}

// Calls visit(i, x, w) for every column, left to right.
template <class Visit>
void forEachColumnSpan(const Strip& strip, const LayoutGeometry& geometry, Visit&& visit) {
  const double usable = geometry.usableWidth();
  double x = geometry.outerGap;
  for (int i = 0; i < strip.count(); ++i) {
    const double w = widthFor(strip.columns[i].proportion, usable, geometry.innerGap);
    visit(i, x, w);
    x += w + geometry.innerGap;
  }
}

double clampScroll(double t, double maxScrollPoints) {
  return std::min(std::max(t, 0.0), maxScrollPoints);
}

}  // namespace

double columnWidth(double proportion, const LayoutGeometry& geometry) {
  return widthFor(proportion, geometry.usableWidth(), geometry.innerGap);
}

double proportionForWidth(double widthPoints, const LayoutGeometry& geometry) {
  return (widthPoints + geometry.innerGap) / (geometry.usableWidth() + geometry.innerGap);
}

double commandProportion(double value) {
  if (!(value >= kMinCommandProportion)) return kMinCommandProportion;
  return std::min(value, 1.0);
}

std::optional<double> adoptedProportion(double widthPoints, const LayoutGeometry& geometry) {
  const double p = proportionForWidth(widthPoints, geometry);
  if (!std::isfinite(p)) return std::nullopt;
  return std::clamp(p, kMinAdoptedProportion, 1.0);
}

void columnWidths(const Strip& strip, const LayoutGeometry& geometry, std::vector<double>& out) {
  out.clear();
  forEachColumnSpan(strip, geometry, [&](int, double, double w) { out.push_back(w); });
}

std::vector<double> columnWidths(const Strip& strip, const LayoutGeometry& geometry) {
  std::vector<double> out;
  columnWidths(strip, geometry, out);
  return out;
}

void columnXPositions(const Strip& strip, const LayoutGeometry& geometry,
                      std::vector<double>& out) {
  out.clear();
  forEachColumnSpan(strip, geometry, [&](int, double x, double) { out.push_back(x); });
}

std::vector<double> columnXPositions(const Strip& strip, const LayoutGeometry& geometry) {
  std::vector<double> out;
  columnXPositions(strip, geometry, out);
  return out;
}

double contentWidth(const Strip& strip, const LayoutGeometry& geometry) {
  if (strip.empty()) return 0;
  double sum = 0;
  forEachColumnSpan(strip, geometry, [&](int, double, double w) { sum += w; });
  return sum + geometry.innerGap * (strip.count() - 1) + 2 * geometry.outerGap;
}

double maxScroll(const Strip& strip, const LayoutGeometry& geometry) {
  return std::max(contentWidth(strip, geometry) - geometry.area.width(), 0.0);
}

double scrollTarget(const Strip& strip, int index, const LayoutGeometry& geometry, CenterMode mode,
                    double current) {
  const double limit = maxScroll(strip, geometry);
  if (index < 0 || index >= strip.count()) return clampScroll(current, limit);
  double x = 0;
  double w = 0;
  forEachColumnSpan(strip, geometry, [&](int i, double xi, double wi) {
    if (i == index) {
      x = xi;
      w = wi;
    }
  });
  const double view = geometry.area.width();
  const double left = x - geometry.outerGap;
  const double right = x + w + geometry.outerGap;
  const double center = x + w * 0.5 - view * 0.5;
  const bool fits = current - 0.5 <= left && right <= view + current + 0.5;
  double t = current;
  switch (mode) {
    case CenterMode::always:
      t = center;
      break;
    case CenterMode::onOverflow:
      t = fits ? current : center;
      break;
    case CenterMode::never:
      if (view <= w + 2 * geometry.outerGap || left < current) {
        t = left;
      } else if (view + current < right) {
        t = right - view;
      }
      break;
  }
  return clampScroll(t, limit);
}

double snapTarget(const Strip& strip, const LayoutGeometry& geometry, double scroll) {
  if (strip.empty()) return 0;
  const double limit = maxScroll(strip, geometry);
  const double view = geometry.area.width();
  double best = 0;
  double bestDistance = std::fabs(0 - scroll);
  const auto consider = [&](double candidate) {
    const double distance = std::fabs(candidate - scroll);
    if (distance < bestDistance) {
      best = candidate;
      bestDistance = distance;
    }
  };
  consider(limit);
  forEachColumnSpan(strip, geometry, [&](int, double x, double w) {
    consider(std::min(limit, std::max(0.0, x - geometry.outerGap)));
    consider(std::min(limit, std::max(0.0, x + w + geometry.outerGap - view)));
  });
  return best;
}

void visibleWidths(const Strip& strip, const LayoutGeometry& geometry, double scroll,
                   std::vector<double>& out) {
  out.clear();
  const double viewRight = geometry.area.width() + scroll;
  forEachColumnSpan(strip, geometry, [&](int, double x, double w) {
    out.push_back(std::max(0.0, std::min(viewRight, x + w) - std::max(x, scroll)));
  });
}

std::vector<double> visibleWidths(const Strip& strip, const LayoutGeometry& geometry,
                                  double scroll) {
  std::vector<double> out;
  visibleWidths(strip, geometry, scroll, out);
  return out;
}

std::optional<int> mostVisibleColumn(const Strip& strip, const LayoutGeometry& geometry,
                                     double scroll) {
  if (strip.empty()) return std::nullopt;
  const double viewRight = geometry.area.width() + scroll;
  const int focused = strip.focusedIndex;
  bool focusedFullyVisible = false;
  int fullyVisibleCount = 0;
  int nearestFullyVisible = -1;
  int widest = 0;
  double widestWidth = -1;
  forEachColumnSpan(strip, geometry, [&](int i, double x, double w) {
    const double visible = std::max(0.0, std::min(viewRight, x + w) - std::max(x, scroll));
    if (visible > widestWidth) {
      widest = i;
      widestWidth = visible;
    }
    if (!(w - 1 <= visible)) return;
    ++fullyVisibleCount;
    if (i == focused) focusedFullyVisible = true;
    // Walking left to right, a later index replaces an earlier one only when
    // strictly nearer, so ties keep the lower index.
    if (nearestFullyVisible < 0 ||
        std::abs(i - focused) < std::abs(nearestFullyVisible - focused)) {
      nearestFullyVisible = i;
    }
  });
  if (focusedFullyVisible) return focused;
  if (fullyVisibleCount == 0) return strip.count() == 1 ? 0 : widest;
  return nearestFullyVisible;
}

int columnIndexAtStripX(const Strip& strip, double x, const LayoutGeometry& geometry) {
  int found = -1;
  forEachColumnSpan(strip, geometry, [&](int i, double xi, double w) {
    if (found < 0 && xi + w + geometry.innerGap * 0.5 > x) found = i;
  });
  if (found >= 0) return found;
  return std::max(strip.count() - 1, 0);
}

void heights(const Strip& strip, const Column& column, const LayoutGeometry& geometry,
             std::vector<double>& out) {
  out.assign(column.windows.size(), 0.0);
  detail::shareColumnHeight(strip, column, geometry, [&](int j) -> double& { return out[j]; });
}

std::vector<double> heights(const Strip& strip, const Column& column,
                            const LayoutGeometry& geometry) {
  std::vector<double> out;
  heights(strip, column, geometry, out);
  return out;
}

void frames(const Strip& strip, const LayoutGeometry& geometry, double scroll, FrameList& out) {
  out.clear();
  const double areaMinX = geometry.area.minX();
  const double top = geometry.area.minY() + geometry.outerGap;
  forEachColumnSpan(strip, geometry, [&](int i, double x, double w) {
    const Column& column = strip.columns[i];
    if (column.windows.empty()) return;
    const double left = roundHalfAwayFromZero(areaMinX + x + column.offset.value - scroll);
    const size_t base = out.size();
    for (WindowId window : column.windows) out.push_back({window, Rect(left, 0, w, 0)});
    detail::shareColumnHeight(strip, column, geometry,
                              [&](int j) -> double& { return out[base + j].frame.size.height; });
    const double gap = detail::stackGap(geometry, column.count());
    double y = top;
    for (size_t k = base; k < out.size(); ++k) {
      out[k].frame.origin.y = roundHalfAwayFromZero(y);
      y += out[k].frame.size.height + gap;
    }
  });
}

FrameList frames(const Strip& strip, const LayoutGeometry& geometry, double scroll) {
  FrameList out;
  frames(strip, geometry, scroll, out);
  return out;
}

}  // namespace vistarail
