#include "mover/move_rules.h"

#include <algorithm>
#include <cmath>

namespace vistarail::move_rules {

double retryDelaySeconds(int attempt) {
  return kRetryBaseSeconds * std::pow(kRetryGrowth, std::max(0, attempt));
}

bool isFinite(const Rect& r) {
  return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
         std::isfinite(r.size.height);
}

bool verificationPasses(const Rect& read, const Rect& requested,
                        const std::optional<Rect>& parkedOff) {
  if (parkedOff) {
    const Rect inside = read.intersection(*parkedOff);
    return inside.isNull() || inside.width() <= kParkedSliverPoints ||
           inside.height() <= kParkedSliverPoints;
  }
  return std::fabs(read.origin.x - requested.origin.x) <= kOriginTolerancePoints &&
         std::fabs(read.origin.y - requested.origin.y) <= kOriginTolerancePoints;
}

bool exceedsRequestedSize(const Size& actual, const Size& requested) {
  return actual.width > requested.width + kSizeMismatchPoints ||
         actual.height > requested.height + kSizeMismatchPoints;
}

std::optional<Size> preMoveSize(const Size& target, const std::optional<Size>& current) {
  if (!current) return target;
  if (target.width >= current->width && target.height >= current->height) return std::nullopt;
  return Size{std::min(target.width, current->width), std::min(target.height, current->height)};
}

bool insideAnyScreen(const Rect& frame, std::span<const Rect> screens) {
  return std::any_of(screens.begin(), screens.end(), [&](const Rect& screen) {
    return screen.grownBy(kVisibleSlackPoints).contains(frame);
  });
}

Rect clampIntoArea(const Rect& frame, const Rect& area) {
  const double width = std::min(area.width(), frame.width());
  const double height = std::min(area.height(), frame.height());
  const double x = std::min(area.maxX() - width, std::max(frame.minX(), area.minX()));
  const double y = std::min(area.maxY() - height, std::max(frame.minY(), area.minY()));
  return {x, y, width, height};
}

bool oversizedButPlaced(const Rect& read, const Rect& clamped, const Rect& area) {
  const bool fits = read.width() <= area.width() + kVisibleSlackPoints &&
                    read.height() <= area.height() + kVisibleSlackPoints;
  if (fits) return false;
  return std::fabs(read.origin.x - clamped.origin.x) <= kOriginTolerancePoints &&
         std::fabs(read.origin.y - clamped.origin.y) <= kOriginTolerancePoints;
}

}  // namespace vistarail::move_rules
