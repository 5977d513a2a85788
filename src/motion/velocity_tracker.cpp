#include "motion/velocity_tracker.h"

#include <algorithm>

namespace vistarail {

void VelocityTracker::add(double time, double value) {
  samples.push_back({time, value});
  std::erase_if(samples, [time](const Sample& s) { return time - s.time > kWindowSeconds; });
  if (samples.size() > kMaxSamples) {
    samples.erase(samples.begin(), samples.end() - static_cast<std::ptrdiff_t>(kMaxSamples));
  }
}

double VelocityTracker::velocity() const {
  if (samples.empty()) return 0;
  const Sample& first = samples.front();
  const Sample& last = samples.back();
  const double span = last.time - first.time;
  if (!(span > kMinSpanSeconds)) return 0;
  return (last.value - first.value) / span;
}

}  // namespace vistarail
