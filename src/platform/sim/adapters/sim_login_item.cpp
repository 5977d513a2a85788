#include "platform/sim/adapters/sim_login_item.h"

namespace vistarail::sim {

std::optional<std::string> SimLoginItem::registerItem() {
  ++calls_;
  if (refusal_) return refusal_;
  status_ = LoginItemStatus::enabled;
  return std::nullopt;
}

std::optional<std::string> SimLoginItem::unregisterItem() {
  ++calls_;
  if (refusal_) return refusal_;
  status_ = LoginItemStatus::notRegistered;
  return std::nullopt;
}

}  // namespace vistarail::sim
