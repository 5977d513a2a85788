#pragma once
// Property lists between the platform's objects (dictionaries, arrays,
// strings, numbers, booleans, data) and the port's PropertyList, without the
// platform's headers: the adapter walks its objects through PlistNode and
// builds them through a factory, and the rules live here, tested everywhere.
//
// The rules are the ones a reader of stored or foreign data needs:
// - booleans stay booleans (the platform's boolean is not a number);
// - integers stay integers, floating-point numbers stay floating-point;
// - dictionary entries whose key is not a string, values with no place in
//   the port (dates, anything else) and JSON nulls are left out;
// - nesting deeper than kMaxPlistDepth is cut off there, so a hostile or
//   cyclic structure cannot exhaust the stack.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/property_list.h"

namespace vistarail::macos {

inline constexpr int kMaxPlistDepth = 32;

class PlistNode {
 public:
  enum class Kind { dictionary, array, string, boolean, integer, real, data, other };
  virtual ~PlistNode() = default;
  virtual Kind kind() const = 0;
  virtual bool boolean() const = 0;
  virtual int64_t integer() const = 0;
  virtual double real() const = 0;
  virtual std::string string() const = 0;
  virtual std::vector<uint8_t> data() const = 0;
  // Arrays and dictionaries.
  virtual size_t count() const = 0;
  virtual std::unique_ptr<PlistNode> valueAt(size_t index) const = 0;
  // Dictionaries: the key of entry index, absent when it is not a string.
  virtual std::optional<std::string> keyAt(size_t index) const = 0;
};

// Absent when the node (at the top) has no place in a property list.
std::optional<PropertyList> plistFromNode(const PlistNode& node);

// Builds the platform's object for a PropertyList. Factory provides:
//   using Value = ...;  (an owning handle)
//   Value string(const std::string&); Value boolean(bool);
//   Value integer(int64_t); Value real(double);
//   Value data(const std::vector<uint8_t>&);
//   Value array(std::vector<Value>);
//   Value dictionary(std::vector<std::pair<std::string, Value>>);
// Absent for a null (which no property list holds) and past kMaxPlistDepth.
// Unsigned integers above the signed range become floating-point rather
// than wrapping to negative numbers.
template <class Factory>
std::optional<typename Factory::Value> buildPlist(const PropertyList& value, Factory& factory,
                                                  int depth = 0) {
  using Value = typename Factory::Value;
  if (depth > kMaxPlistDepth) return std::nullopt;
  switch (value.type()) {
    case PropertyList::value_t::boolean:
      return factory.boolean(value.get<bool>());
    case PropertyList::value_t::number_integer:
      return factory.integer(value.get<int64_t>());
    case PropertyList::value_t::number_unsigned: {
      const uint64_t u = value.get<uint64_t>();
      if (u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        return factory.real(static_cast<double>(u));
      }
      return factory.integer(static_cast<int64_t>(u));
    }
    case PropertyList::value_t::number_float:
      return factory.real(value.get<double>());
    case PropertyList::value_t::string:
      return factory.string(value.get<std::string>());
    case PropertyList::value_t::binary: {
      const auto& bytes = value.get_binary();
      return factory.data(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    case PropertyList::value_t::array: {
      std::vector<Value> items;
      items.reserve(value.size());
      for (const PropertyList& item : value) {
        if (auto built = buildPlist(item, factory, depth + 1)) items.push_back(std::move(*built));
      }
      return factory.array(std::move(items));
    }
    case PropertyList::value_t::object: {
      std::vector<std::pair<std::string, Value>> entries;
      entries.reserve(value.size());
      for (const auto& [key, item] : value.items()) {
        if (auto built = buildPlist(item, factory, depth + 1)) {
          entries.emplace_back(key, std::move(*built));
        }
      }
      return factory.dictionary(std::move(entries));
    }
    case PropertyList::value_t::null:
    case PropertyList::value_t::discarded:
      break;
  }
  return std::nullopt;
}

}  // namespace vistarail::macos
