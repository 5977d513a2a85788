#pragma once
// The alerts port over NSAlert, run modally on the main thread.

#include "platform/alerts.h"

namespace vistarail::macos {

class MacAlerts final : public Alerts {
 public:
  int runModal(const Alert& alert) override;
};

}  // namespace vistarail::macos
