#pragma once
// The geometric judgements and timings of moving a window, kept apart from the
// queues and locks so that each rule can be checked on its own.

#include <optional>
#include <span>

#include "base/geometry.h"

namespace vistarail::move_rules {

// How long after a successful write the window is read back. Applications
// answer a write before they have laid the window out; this is long enough for
// the common ones and short enough to be invisible.
inline constexpr double kVerifyDelaySeconds = 0.08;
// A request is written at most 1 + kMaxRetries times.
inline constexpr int kMaxRetries = 3;
// Retry n (0-based) waits kRetryBaseSeconds * kRetryGrowth^n: 0.1, 0.3, 0.9 s.
inline constexpr double kRetryBaseSeconds = 0.1;
inline constexpr double kRetryGrowth = 3.0;
// A frame the window refused four times is not asked for again this long.
inline constexpr double kGiveUpSeconds = 2.0;

// Origin tolerance of a normal write; applications round to whole points and
// some keep a title bar on a half-point.
inline constexpr double kOriginTolerancePoints = 2.0;
// A parked window may keep this much of itself inside the area it must clear.
inline constexpr double kParkedSliverPoints = 8.0;
// A verified window larger than requested by more than this is reported.
inline constexpr double kSizeMismatchPoints = 4.0;
// A restored window counts as visible when it lies within a screen grown by this.
inline constexpr double kVisibleSlackPoints = 2.0;

// Enhanced user interface (an assistive mode that makes some applications
// animate every frame change) is read at most this often per application...
inline constexpr double kEnhancedUICacheSeconds = 2.0;
// ...and switched back on this long after the last write to the application.
inline constexpr double kEnhancedUIRestoreDelaySeconds = 0.5;
// Switching it back on is tried this many times, this far apart, while the
// application answers that it is busy.
inline constexpr int kEnhancedUIRestoreAttempts = 3;
inline constexpr double kEnhancedUIRestoreRetrySeconds = 0.1;
// An application that turned down every attempt is not asked again before
// this long has passed (but for the last try when the mover stops): asking
// on every restore and after every burst of writes would fill its queue
// with refusals.
inline constexpr double kEnhancedUIRefusedSeconds = 3.0;

// Delay before retry number `attempt` (0 for the first retry).
double retryDelaySeconds(int attempt);

bool isFinite(const Rect& r);

// Whether the frame read back satisfies the request. A parking request passes
// when at most a sliver of the window is left inside `parkedOff`; any other
// request passes when the origin landed within the tolerance. The size never
// decides: a window that will not shrink has still been placed.
bool verificationPasses(const Rect& read, const Rect& requested,
                        const std::optional<Rect>& parkedOff);

// The window came out noticeably larger than asked in either dimension.
bool exceedsRequestedSize(const Size& actual, const Size& requested);

// Size to set before moving, so that the window never grows into a neighbour
// or past a screen edge before it has been moved: the smaller of target and
// current per dimension. Absent when the window only grows (nothing to shrink
// first). With the current size unknown, the target itself.
std::optional<Size> preMoveSize(const Size& target, const std::optional<Size>& current);

// Whether the frame lies inside one of the screens (each grown by the slack).
bool insideAnyScreen(const Rect& frame, std::span<const Rect> screens);

// The frame a restore writes: no larger than the area, moved as little as
// possible to lie inside it.
Rect clampIntoArea(const Rect& frame, const Rect& area);

// The verdict on a restored window that is not inside any screen: a window too
// large for the area counts as restored when it sits at the clamped origin.
bool oversizedButPlaced(const Rect& read, const Rect& clamped, const Rect& area);

}  // namespace vistarail::move_rules
