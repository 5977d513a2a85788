#pragma once
// The recent positions of an interactive scroll, from which the velocity at
// release is estimated: the slope between the oldest and newest sample of
// the last tenth of a second.

#include <cstddef>
#include <vector>

namespace vistarail {

struct VelocityTracker {
  struct Sample {
    double time = 0;   // media time, seconds
    double value = 0;  // points
    friend bool operator==(const Sample&, const Sample&) = default;
  };

  // Samples older than this (relative to the newest) are dropped.
  static constexpr double kWindowSeconds = 0.1;
  // A span shorter than this gives no usable slope.
  static constexpr double kMinSpanSeconds = 0.004;
  // A device that floods samples without advancing time cannot grow the list
  // past this; the oldest go first.
  static constexpr size_t kMaxSamples = 256;

  // Oldest first.
  std::vector<Sample> samples;

  void reset() { samples.clear(); }
  // Appends a sample and drops those more than the window older than it. The
  // samples are aged only here, never against the time velocity() is asked.
  void add(double time, double value);
  // Points per second; 0 with no samples or a span of 4 ms or less. Callers
  // clamp the result to their own limits.
  double velocity() const;

  friend bool operator==(const VelocityTracker&, const VelocityTracker&) = default;
};

}  // namespace vistarail
