#pragma once
// The manager's delays and tolerances, in one place.

namespace vistarail::timing {

inline constexpr double kRefreshCoalesceSeconds = 0.08;
inline constexpr double kBatchDeadlineSeconds = 0.5;
inline constexpr double kStartupTimeoutSeconds = 1.5;
inline constexpr int kObserverAttempts = 6;               // attempts 0 ... 5
inline constexpr double kObserverRetryStepSeconds = 0.4;  // (attempt + 1) x this
inline constexpr double kSpaceChangeRefreshSeconds = 0.3;
inline constexpr double kSecondLayoutPassSeconds = 0.6;
// The second half of a scan (known windows read again, new windows'
// notifications registered) runs this long after the first half reported,
// behind the first frames of the windows it found.
inline constexpr double kScanFollowUpSeconds = 0.1;
inline constexpr double kExternalCheckSeconds = 0.3;
inline constexpr double kStopWaitSeconds = 5.0;
inline constexpr double kExternalTolerancePoints = 3.0;
inline constexpr int kMaxReassertions = 3;
// How long after the last put-back an application must leave a window alone
// before its next move starts a new fight: longer than the put-backs
// themselves take (three, each 0.3 s after a move plus the mover's retries),
// short enough that a user-visible move minutes later is answered.
inline constexpr double kFightMemorySeconds = 10.0;
inline constexpr double kMessagingTimeoutSeconds = 1.0;
inline constexpr double kSaveDelaySeconds = 1.0;
inline constexpr double kRecoveryPeriodSeconds = 3.0;
inline constexpr double kFocusGraceSeconds = 0.6;
// How long after its last call a focus request is given to take effect
// before the program looks where the focus went.
inline constexpr double kFocusSettleSeconds = 0.2;
inline constexpr double kSupersededFocusSeconds = 1.5;
inline constexpr double kSizeMismatchTolerancePoints = 4.0;
inline constexpr double kVerifiedSizeTolerancePoints = 2.0;
// A parked window narrower than asked by more than this loses its sliver.
inline constexpr double kParkedWidthTolerancePoints = 0.5;
inline constexpr double kMinHeightUpdateTolerancePoints = 1.0;
inline constexpr double kWidthAdoptionTolerance = 0.005;
inline constexpr double kStiffnessPerSpeedSquared = 420.0;

// Input.
inline constexpr double kStaleSwipeTickSeconds = 0.1;
inline constexpr double kQuietWheelSeconds = 0.2;
inline constexpr double kWheelStepSeconds = 0.12;
inline constexpr double kMaxReleaseVelocity = 8000;  // points per second
inline constexpr double kReleaseProjectionSeconds = 0.16;
inline constexpr double kRubberBand = 0.3;
inline constexpr double kCarouselStepShare = 0.2;  // of the visible width
inline constexpr double kCarouselShortSwipePoints = 40;
inline constexpr double kDragThresholdPoints = 4.0;
inline constexpr double kPressSlopPoints = 10.0;
inline constexpr double kDropReadDelaySeconds = 0.12;
inline constexpr double kDropTolerancePoints = 3.0;
inline constexpr double kMinPreferredHeight = 100;
inline constexpr double kEdgeInsideRight = 3.0;
inline constexpr double kEdgeInsideLeft = 2.0;
inline constexpr double kEdgeOutside = 0.5;

}  // namespace vistarail::timing
