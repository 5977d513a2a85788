#pragma once
// Numbered handles for platform objects the port names by number (hot-key
// registrations). Numbers start at 1 and are never reused, so a stale number
// can only miss, never reach an object registered later. Not thread-safe:
// each table belongs to one queue.

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace vistarail::macos {

template <class T>
class HandleTable {
 public:
  uint64_t add(T value) {
    const uint64_t number = ++last_;
    entries_.emplace(number, std::move(value));
    return number;
  }
  // The object, removed from the table; absent for a number never given or
  // already taken.
  std::optional<T> take(uint64_t number) {
    const auto it = entries_.find(number);
    if (it == entries_.end()) return std::nullopt;
    T value = std::move(it->second);
    entries_.erase(it);
    return value;
  }
  // Every object, in the order added; the table is left empty.
  std::vector<T> takeAll() {
    std::vector<T> all;
    all.reserve(entries_.size());
    for (auto& [number, value] : entries_) all.push_back(std::move(value));
    entries_.clear();
    return all;
  }
  size_t size() const { return entries_.size(); }

 private:
  uint64_t last_ = 0;
  std::map<uint64_t, T> entries_;
};

}  // namespace vistarail::macos
