#include "platform/sim/adapters/sim_key_monitor.h"

#include <vector>

namespace vistarail::sim {

KeyMonitor::Token SimKeyMonitor::add(Handler handler) {
  const Token token = next_++;
  handlers_.emplace(token, std::move(handler));
  return token;
}

KeyDisposition SimKeyMonitor::press(uint32_t keyCode, uint64_t modifierFlags) {
  // A handler may remove monitors (itself included) while it runs.
  std::vector<Token> order;
  for (const auto& [token, handler] : handlers_) order.insert(order.begin(), token);
  for (Token token : order) {
    auto found = handlers_.find(token);
    if (found == handlers_.end()) continue;
    Handler handler = found->second;
    if (handler({keyCode, modifierFlags}) == KeyDisposition::consumed)
      return KeyDisposition::consumed;
  }
  return KeyDisposition::passedOn;
}

}  // namespace vistarail::sim
