#pragma once
// A local key-down monitor, shaped after the application's local event
// monitors: while installed, every key-down aimed at the program's own
// windows goes to the handler first, which either consumes it (the key goes
// no further) or lets it through. Keys pressed in other applications never
// reach it.

#include <cstdint>
#include <functional>

namespace vistarail {

struct KeyDown {
  uint32_t keyCode = 0;
  uint64_t modifierFlags = 0;  // the event's device-independent flags
};

enum class KeyDisposition { consumed, passedOn };

class KeyMonitor {
 public:
  virtual ~KeyMonitor() = default;
  using Handler = std::function<KeyDisposition(const KeyDown&)>;
  using Token = uint64_t;
  // Called on the main queue for every key-down until removed.
  virtual Token add(Handler handler) = 0;
  virtual void remove(Token token) = 0;
};

}  // namespace vistarail
