#pragma once
// The key-monitor port over the application's local event monitors
// (NSEvent addLocalMonitorForEventsMatchingMask:handler:), key-downs only.

#include <map>

#include "platform/key_monitor.h"

namespace vistarail::macos {

class MacKeyMonitor final : public KeyMonitor {
 public:
  ~MacKeyMonitor() override;
  Token add(Handler handler) override;
  void remove(Token token) override;

 private:
  // The monitor objects AppKit returned, held as retained pointers: this
  // header is also seen by C++ files.
  std::map<Token, const void*> monitors_;
  Token next_ = 1;
};

}  // namespace vistarail::macos
