#pragma once
// The running process: its environment and the signals it handles.
//
// Observing a signal first sets its disposition to ignore (so it no longer
// ends the process) and then delivers each arrival on the main queue, as a
// dispatch signal source bound to the main queue does; the handler runs until
// the subscription ends.

#include <functional>
#include <optional>
#include <string>

#include "base/ids.h"
#include "base/signal.h"

namespace vistarail {

inline constexpr int kSignalTerminate = 15;  // SIGTERM

class Process {
 public:
  virtual ~Process() = default;
  virtual std::optional<std::string> environmentValue(const std::string& name) = 0;
  virtual Pid processIdentifier() = 0;
  [[nodiscard]] virtual Subscription observeSignal(int signalNumber,
                                                   std::function<void()> handler) = 0;
};

}  // namespace vistarail
