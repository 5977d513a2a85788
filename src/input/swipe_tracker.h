#pragma once
// Recognises a horizontal multi-finger trackpad swipe from raw touch counts
// and centroids (normalized pad units, 0...1) and turns it into began, moved
// by dx, ended. A sequence with the right finger count locks as a swipe once
// its horizontal travel passes 0.012 and clearly dominates the vertical; one
// that travels 0.03 vertically first, or changes its finger count, is
// blocked until every finger is lifted, so the system's own vertical
// gestures and two-finger scrolling never move the strip.

#include <functional>

#include "base/geometry.h"

namespace vistarail {

class SwipeTracker {
 public:
  enum class Phase { idle, pending, tracking, blocked };

  static constexpr double kLockDistance = 0.012;
  static constexpr double kVerticalBlockDistance = 0.03;
  static constexpr double kLockDominance = 1.3;
  // A locked swipe that hears nothing for this long ended without its final
  // events.
  static constexpr double kStaleSeconds = 0.25;
  // A centroid cannot travel further than across the pad in one event;
  // anything more is a glitch and is dropped.
  static constexpr double kMaxStep = 1.0;

  int fingers = 4;
  std::function<void()> onBegin;
  std::function<void(double dx)> onMove;  // positive: the fingers moved right
  std::function<void()> onEnd;

  // One gesture event: the counted touches, their mean position, media time.
  void update(int count, Point centroid, double time);
  // Ends a locked swipe whose final events never came; true when it did.
  bool endIfStale(double now);

  Phase phase() const { return phase_; }

 private:
  void move(Point centroid);

  Phase phase_ = Phase::idle;
  Point start_;
  Point last_;
  double lastEventTime_ = 0;
};

}  // namespace vistarail
