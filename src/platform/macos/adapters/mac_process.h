#pragma once
// The process port over the C library and libdispatch: the environment, the
// pid, and signals delivered on the main queue by a dispatch signal source
// (the signal's default disposition set to ignore first, so that it no
// longer ends the process).

#include "platform/process.h"

namespace vistarail::macos {

class MacProcess final : public Process {
 public:
  std::optional<std::string> environmentValue(const std::string& name) override;
  Pid processIdentifier() override;
  Subscription observeSignal(int signalNumber, std::function<void()> handler) override;
};

}  // namespace vistarail::macos
