#pragma once
// The per-user defaults domain of the application.
//
// Lookup order is the platform's: a value set in the domain wins over a
// registered default. Typed getters coerce as the platform does: numbers and
// booleans convert into each other, strings "YES"/"true"/"1"-style convert to
// booleans and numbers; unreadable values give false or 0; the string-array
// getter gives nothing unless every element is a string.

#include <optional>
#include <string>
#include <vector>

#include "platform/property_list.h"

namespace vistarail {

class Defaults {
 public:
  virtual ~Defaults() = default;

  // Values used when the domain holds none; registering never writes storage.
  virtual void registerDefaults(const PropertyList& dictionary) = 0;

  // The stored value, else the registered one; absent when neither exists.
  virtual std::optional<PropertyList> object(const std::string& key) const = 0;
  virtual void set(const std::string& key, const PropertyList& value) = 0;
  virtual void remove(const std::string& key) = 0;

  // Typed getters (see the coercions above).
  bool boolean(const std::string& key) const;
  long long integer(const std::string& key) const;
  double number(const std::string& key) const;
  std::optional<std::string> string(const std::string& key) const;
  std::optional<std::vector<std::string>> stringArray(const std::string& key) const;
  // Data values (bytes); absent for any other type.
  std::optional<std::vector<uint8_t>> data(const std::string& key) const;
  void setData(const std::string& key, const std::vector<uint8_t>& bytes);
};

}  // namespace vistarail
