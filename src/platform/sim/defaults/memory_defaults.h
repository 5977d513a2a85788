#pragma once
// A defaults domain held in memory: the registered values and the stored
// values, nothing on disk. The simulator and most tests use it; FileDefaults
// adds persistence on top of the same rules.
//
// Rules, as on the platform:
// - registerDefaults merges the keys of a dictionary into the registered values
//   (a later registration of a key replaces the earlier one); registering never
//   counts as storing and never changes what object-exists questions answer
//   about stored values.
// - object() gives the stored value, else the registered one.
// - Storing a null value is the same as removing the key, since a property list
//   cannot hold "nothing".
// Thread-safe: every operation takes one lock.

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

#include "platform/defaults.h"

namespace vistarail::sim {

class MemoryDefaults final : public Defaults {
 public:
  MemoryDefaults() = default;
  // Starts with these stored values (a dictionary; anything else is ignored).
  explicit MemoryDefaults(const PropertyList& stored);

  void registerDefaults(const PropertyList& dictionary) override;
  std::optional<PropertyList> object(const std::string& key) const override;
  void set(const std::string& key, const PropertyList& value) override;
  void remove(const std::string& key) override;

  // The stored value alone, ignoring registered ones: whether something was
  // ever written under the key.
  std::optional<PropertyList> storedObject(const std::string& key) const;
  // Every stored value as one dictionary (a copy).
  PropertyList storedValues() const;
  // Number of set and remove calls so far, including ones that stored an
  // equal value: callers that must "write nothing" can be checked by it.
  size_t writeCount() const;

 private:
  mutable std::mutex mutex_;
  PropertyList registered_ = PropertyList::object();
  PropertyList stored_ = PropertyList::object();
  size_t writeCount_ = 0;
};

}  // namespace vistarail::sim
