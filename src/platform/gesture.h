#pragma once
// The touches of a trackpad gesture event, as AppKit reports them.

#include <cstddef>
#include <cstdint>

#include "base/geometry.h"

namespace vistarail {

enum class TouchType : int { direct = 0, indirect = 1 };  // indirect: trackpad

// Touch phases are bits: began 1, moved 2, stationary 4, ended 8, cancelled 16.
inline constexpr int kTouchPhaseBegan = 1;
inline constexpr int kTouchPhaseMoved = 2;
inline constexpr int kTouchPhaseStationary = 4;
inline constexpr int kTouchPhaseEnded = 8;
inline constexpr int kTouchPhaseCancelled = 16;

struct Touch {
  TouchType type = TouchType::indirect;
  Point normalizedPosition;  // 0...1 across the pad, y up
  bool isResting = false;
  int phase = kTouchPhaseMoved;
  friend bool operator==(const Touch&, const Touch&) = default;
};

// A pad reports at most a handful of touches; a fixed capacity keeps an event
// free of allocation. Touches beyond it are dropped.
struct GestureTouches {
  static constexpr size_t kCapacity = 16;
  Touch items[kCapacity]{};
  size_t count = 0;
  void add(const Touch& touch) {
    if (count < kCapacity) items[count++] = touch;
  }
  const Touch* begin() const { return items; }
  const Touch* end() const { return items + count; }
};

}  // namespace vistarail
