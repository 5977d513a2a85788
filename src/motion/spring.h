#pragma once
// A damped spring: the one curve behind every movement of the strip (the
// scroll offset of a strip, the slide of a column into a new place).
//
// Stepping integrates with semi-implicit Euler in sub-steps of at most
// 1/480 s, so the stiffest springs stay stable at any frame rate. The damping
// coefficient is 1.84 * sqrt(k): a damping ratio of 0.92, slightly
// under-damped, so a move ends with a barely visible overshoot at most.

namespace vistarail {

struct Spring {
  double value = 0;     // where the animated quantity is now, points
  double target = 0;    // where it comes to rest, points
  double velocity = 0;  // points per second

  // Close enough to the target, and slow enough, to count as arrived.
  static constexpr double kSettleDistancePoints = 0.5;
  static constexpr double kSettleSpeedPointsPerSecond = 10;
  // The longest integration step.
  static constexpr double kSubStepSeconds = 1.0 / 480;
  // Longer steps are cut to this, so one call always does bounded work.
  static constexpr double kMaxStepSeconds = 10;

  bool isAtRest() const { return value == target && velocity == 0; }
  bool isSettled() const;
  // Puts the spring on its target with no velocity.
  void snap();
  // Advances by dtSeconds with stiffness k, then snaps when settled. A step of
  // zero, negative or undefined length only applies the settle test.
  void step(double stiffness, double dtSeconds);

  friend bool operator==(const Spring&, const Spring&) = default;
};

// The stiffness at animation speed 1. Whoever steps springs passes the
// stiffness in (SpringFrame), so no process-wide value is needed.
inline constexpr double kBaseSpringStiffness = 420;
// 420 * speed^2: speed 1 gives 420, 2 gives 1680, 0.5 gives 105. A speed that
// is not a positive finite number counts as 1, so the springs always arrive.
double stiffnessForAnimationSpeed(double animationSpeed);

}  // namespace vistarail
