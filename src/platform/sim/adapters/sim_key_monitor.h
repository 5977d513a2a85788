#pragma once
// Local key-down monitors of the simulated program. A key pressed while one
// of the program's windows is key goes through press(): the monitors, newest
// first as on the system, until one consumes it.

#include <map>

#include "platform/key_monitor.h"

namespace vistarail::sim {

class SimKeyMonitor final : public KeyMonitor {
 public:
  Token add(Handler handler) override;
  void remove(Token token) override { handlers_.erase(token); }

  // The key-down as the program's window receives it.
  KeyDisposition press(uint32_t keyCode, uint64_t modifierFlags = 0);
  size_t installed() const { return handlers_.size(); }

 private:
  std::map<Token, Handler> handlers_;
  Token next_ = 1;
};

}  // namespace vistarail::sim
