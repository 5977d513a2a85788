#pragma once
// Modal alerts on the simulated desktop: each one is recorded with the time it
// showed, and the user answers with its first button at once.

#include <vector>

#include "platform/alerts.h"
#include "platform/dispatch.h"

namespace vistarail::sim {

struct ShownAlert {
  double time = 0;
  Alert alert;
  friend bool operator==(const ShownAlert&, const ShownAlert&) = default;
};

class SimAlerts final : public Alerts {
 public:
  explicit SimAlerts(Dispatch& dispatch) : dispatch_(dispatch) {}
  int runModal(const Alert& alert) override {
    shown_.push_back({dispatch_.mediaTime(), alert});
    return kAlertFirstButtonReturn;
  }
  const std::vector<ShownAlert>& shown() const { return shown_; }

 private:
  Dispatch& dispatch_;
  std::vector<ShownAlert> shown_;
};

}  // namespace vistarail::sim
