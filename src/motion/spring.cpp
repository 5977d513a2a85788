#include "motion/spring.h"

#include <algorithm>
#include <cmath>

namespace vistarail {

namespace {
constexpr double kDampingFactor = 1.84;
}  // namespace

bool Spring::isSettled() const {
  return std::fabs(value - target) < kSettleDistancePoints &&
         std::fabs(velocity) < kSettleSpeedPointsPerSecond;
}

void Spring::snap() {
  value = target;
  velocity = 0;
}

void Spring::step(double stiffness, double dtSeconds) {
  if (dtSeconds > 0) {
    const double damping = kDampingFactor * std::sqrt(stiffness);
    const double length = std::min(dtSeconds, kMaxStepSeconds);
    // Counted rather than subtracted, so 1/60 s is eight whole sub-steps and
    // not eight plus a sliver left over by rounding.
    const int count = std::max(1, static_cast<int>(std::ceil(length / kSubStepSeconds - 1e-9)));
    for (int i = 0; i < count; ++i) {
      const double h = i + 1 < count ? kSubStepSeconds : length - kSubStepSeconds * (count - 1);
      velocity += h * (-stiffness * (value - target) - damping * velocity);
      value += h * velocity;
    }
  }
  if (isSettled()) snap();
}

double stiffnessForAnimationSpeed(double animationSpeed) {
  if (!(animationSpeed > 0) || !std::isfinite(animationSpeed)) animationSpeed = 1;
  const double k = kBaseSpringStiffness * animationSpeed * animationSpeed;
  return std::isfinite(k) ? k : kBaseSpringStiffness;
}

}  // namespace vistarail
