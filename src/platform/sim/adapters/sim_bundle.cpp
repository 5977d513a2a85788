#include "platform/sim/adapters/sim_bundle.h"

namespace vistarail::sim {

std::optional<PropertyList> SimBundle::infoValue(const std::string& key) {
  if (!setup_.info.is_object()) return std::nullopt;
  auto it = setup_.info.find(key);
  if (it == setup_.info.end()) return std::nullopt;
  return *it;
}

std::optional<std::string> SimBundle::urlForResource(const std::string& name,
                                                     const std::string& extension) {
  auto it = setup_.resources.find(extension.empty() ? name : name + "." + extension);
  if (it == setup_.resources.end()) return std::nullopt;
  return it->second;
}

}  // namespace vistarail::sim
