#include "platform/sim/defaults/memory_defaults.h"

namespace vistarail::sim {

MemoryDefaults::MemoryDefaults(const PropertyList& stored) {
  if (!stored.is_object()) return;
  for (const auto& [key, value] : stored.items()) {
    if (!value.is_null()) stored_[key] = value;
  }
}

void MemoryDefaults::registerDefaults(const PropertyList& dictionary) {
  if (!dictionary.is_object()) return;
  std::lock_guard lock(mutex_);
  for (const auto& [key, value] : dictionary.items()) {
    if (value.is_null()) continue;
    registered_[key] = value;
  }
}

std::optional<PropertyList> MemoryDefaults::object(const std::string& key) const {
  std::lock_guard lock(mutex_);
  if (auto it = stored_.find(key); it != stored_.end()) return *it;
  if (auto it = registered_.find(key); it != registered_.end()) return *it;
  return std::nullopt;
}

void MemoryDefaults::set(const std::string& key, const PropertyList& value) {
  std::lock_guard lock(mutex_);
  ++writeCount_;
  if (value.is_null()) {
    stored_.erase(key);
    return;
  }
  stored_[key] = value;
}

void MemoryDefaults::remove(const std::string& key) {
  std::lock_guard lock(mutex_);
  ++writeCount_;
  stored_.erase(key);
}

std::optional<PropertyList> MemoryDefaults::storedObject(const std::string& key) const {
  std::lock_guard lock(mutex_);
  if (auto it = stored_.find(key); it != stored_.end()) return *it;
  return std::nullopt;
}

PropertyList MemoryDefaults::storedValues() const {
  std::lock_guard lock(mutex_);
  return stored_;
}

size_t MemoryDefaults::writeCount() const {
  std::lock_guard lock(mutex_);
  return writeCount_;
}

}  // namespace vistarail::sim
