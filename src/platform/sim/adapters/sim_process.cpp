#include "platform/sim/adapters/sim_process.h"

namespace vistarail::sim {

std::optional<std::string> SimProcess::environmentValue(const std::string& name) {
  auto it = environment_.find(name);
  if (it == environment_.end()) return std::nullopt;
  return it->second;
}

Subscription SimProcess::observeSignal(int signalNumber, std::function<void()> handler) {
  // Ignoring the disposition outlives the source, as with the real call.
  ignored_.insert(signalNumber);
  const uint64_t id = nextId_++;
  (*handlers_)[signalNumber].byId.emplace(id, std::move(handler));
  std::weak_ptr<std::map<int, Handlers>> weak = handlers_;
  return Subscription([weak, signalNumber, id] {
    if (auto handlers = weak.lock()) (*handlers)[signalNumber].byId.erase(id);
  });
}

void SimProcess::sendSignal(int signalNumber) {
  if (killedBy_) return;
  if (!ignored_.contains(signalNumber)) {
    killedBy_ = signalNumber;
    return;
  }
  std::weak_ptr<std::map<int, Handlers>> weak = handlers_;
  dispatch_.main()->async([weak, signalNumber] {
    auto handlers = weak.lock();
    if (!handlers) return;
    // A copy: a handler may end its own subscription.
    const auto byId = (*handlers)[signalNumber].byId;
    for (const auto& [id, handler] : byId) handler();
  });
}

int SimProcess::handlers(int signalNumber) const {
  auto it = handlers_->find(signalNumber);
  return it == handlers_->end() ? 0 : static_cast<int>(it->second.byId.size());
}

}  // namespace vistarail::sim
