#pragma once
// The manager's delays and tolerances, in one place.

namespace vistarail::timing {

inline constexpr double kRefreshCoalesceSeconds = 0.08;
inline constexpr double kBatchDeadlineSeconds = 0.5;
inline constexpr double kStartupTimeoutSeconds = 1.5;
inline constexpr int kObserverAttempts = 6;  // attempts 0 ... 5
inline constexpr double kObserverRetryStepSeconds = 0.4;  // (attempt + 1) x this
inline constexpr double kSpaceChangeRefreshSeconds = 0.3;
inline constexpr double kSecondLayoutPassSeconds = 0.6;
inline constexpr double kExternalCheckSeconds = 0.3;
inline constexpr double kStopWaitSeconds = 5.0;
inline constexpr double kExternalTolerancePoints = 3.0;
inline constexpr int kMaxReassertions = 3;
inline constexpr double kMessagingTimeoutSeconds = 1.0;
inline constexpr double kSaveDelaySeconds = 1.0;
inline constexpr double kRecoveryPeriodSeconds = 3.0;
inline constexpr double kFocusGraceSeconds = 0.6;
inline constexpr double kSupersededFocusSeconds = 1.5;
inline constexpr double kSizeMismatchTolerancePoints = 4.0;
inline constexpr double kVerifiedSizeTolerancePoints = 2.0;
inline constexpr double kMinHeightUpdateTolerancePoints = 1.0;
inline constexpr double kWidthAdoptionTolerance = 0.005;
inline constexpr double kStiffnessPerSpeedSquared = 420.0;

}  // namespace vistarail::timing
