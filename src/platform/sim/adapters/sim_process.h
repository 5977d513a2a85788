#pragma once
// The program's process on the simulated desktop: an environment, a pid and
// signals. A signal nobody handles ends the process at once (its default
// disposition), which is recorded; a handled one reaches its handlers on the
// main queue.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/dispatch.h"
#include "platform/process.h"

namespace vistarail::sim {

class SimProcess final : public Process {
 public:
  explicit SimProcess(Dispatch& dispatch, Pid pid = 400) : dispatch_(dispatch), pid_(pid) {}

  std::optional<std::string> environmentValue(const std::string& name) override;
  Pid processIdentifier() override { return pid_; }
  [[nodiscard]] Subscription observeSignal(int signalNumber,
                                           std::function<void()> handler) override;

  // --- Setting up.
  void setEnvironmentValue(const std::string& name, std::string value) {
    environment_[name] = std::move(value);
  }

  // --- Another process (launchd, kill).
  void sendSignal(int signalNumber);

  // --- Reading.
  // The signal that ended the process by its default disposition, if one did.
  std::optional<int> killedBy() const { return killedBy_; }
  int handlers(int signalNumber) const;

 private:
  struct Handlers {
    std::map<uint64_t, std::function<void()>> byId;
  };

  Dispatch& dispatch_;
  Pid pid_;
  std::map<std::string, std::string> environment_;
  std::set<int> ignored_;
  std::shared_ptr<std::map<int, Handlers>> handlers_ = std::make_shared<std::map<int, Handlers>>();
  uint64_t nextId_ = 1;
  std::optional<int> killedBy_;
};

}  // namespace vistarail::sim
