#include "input/swipe_tracker.h"

#include <cmath>

namespace vistarail {

void SwipeTracker::update(int count, Point centroid, double time) {
  // A glitched position says nothing about the fingers; the stale check ends
  // the swipe if real events do not follow.
  if (count > 0 && !(std::isfinite(centroid.x) && std::isfinite(centroid.y))) return;
  lastEventTime_ = time;
  if (count == fingers) {
    switch (phase_) {
      case Phase::idle:
        phase_ = Phase::pending;
        start_ = last_ = centroid;
        return;
      case Phase::pending: {
        const double dx = std::abs(centroid.x - start_.x);
        const double dy = std::abs(centroid.y - start_.y);
        if (dx > kLockDistance && dy * kLockDominance < dx) {
          phase_ = Phase::tracking;
          last_ = start_;
          if (onBegin) onBegin();
          move(centroid);
        } else if (dy > kVerticalBlockDistance) {
          phase_ = Phase::blocked;
        }
        return;
      }
      case Phase::tracking:
        move(centroid);
        return;
      case Phase::blocked:
        return;
    }
    return;
  }
  if (phase_ == Phase::tracking) {
    // The callback may look at the phase; it must already read as ended.
    phase_ = Phase::blocked;
    if (onEnd) onEnd();
  }
  if (count == 0) {
    phase_ = Phase::idle;
  } else if (phase_ != Phase::idle) {
    phase_ = Phase::blocked;
  }
}

void SwipeTracker::move(Point centroid) {
  const double d = centroid.x - last_.x;
  last_ = centroid;
  if (d != 0 && std::abs(d) <= kMaxStep && onMove) onMove(d);
}

bool SwipeTracker::endIfStale(double now) {
  if (phase_ != Phase::tracking || now - lastEventTime_ <= kStaleSeconds) return false;
  phase_ = Phase::idle;
  if (onEnd) onEnd();
  return true;
}

}  // namespace vistarail
