#include "platform/macos/window_list.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace vistarail::macos {

namespace {

std::optional<int64_t> integerAt(const PropertyList& entry, const char* key) {
  const auto it = entry.find(key);
  if (it == entry.end()) return std::nullopt;
  if (it->is_number_integer()) return it->get<int64_t>();
  // Some entries carry whole numbers as floating point.
  if (it->is_number_float()) {
    const double v = it->get<double>();
    if (v == static_cast<double>(static_cast<int64_t>(v))) return static_cast<int64_t>(v);
  }
  return std::nullopt;
}

std::string stringAt(const PropertyList& entry, const char* key) {
  const auto it = entry.find(key);
  return it != entry.end() && it->is_string() ? it->get<std::string>() : std::string();
}

double numberAt(const PropertyList& dictionary, const char* key) {
  const auto it = dictionary.find(key);
  return it != dictionary.end() && it->is_number() ? it->get<double>() : 0.0;
}

bool flagAt(const PropertyList& entry, const char* key) {
  const auto it = entry.find(key);
  if (it == entry.end()) return false;
  if (it->is_boolean()) return it->get<bool>();
  if (it->is_number()) return it->get<double>() != 0;
  return false;
}

Rect boundsAt(const PropertyList& entry) {
  const auto it = entry.find(window_keys::kBounds);
  if (it == entry.end() || !it->is_object()) return {};
  return {numberAt(*it, "X"), numberAt(*it, "Y"), numberAt(*it, "Width"), numberAt(*it, "Height")};
}

}  // namespace

std::vector<WindowInfo> windowInfosFromList(const PropertyList& list) {
  std::vector<WindowInfo> out;
  if (!list.is_array()) return out;
  out.reserve(list.size());
  for (const PropertyList& entry : list) {
    if (!entry.is_object()) continue;
    const auto number = integerAt(entry, window_keys::kNumber);
    const auto pid = integerAt(entry, window_keys::kOwnerPid);
    if (!number || *number <= 0 || *number > std::numeric_limits<WindowId>::max()) continue;
    if (!pid || *pid < 0 || *pid > std::numeric_limits<Pid>::max()) continue;
    WindowInfo info;
    info.number = static_cast<WindowId>(*number);
    info.ownerPid = static_cast<Pid>(*pid);
    info.ownerName = stringAt(entry, window_keys::kOwnerName);
    info.name = stringAt(entry, window_keys::kName);
    info.bounds = boundsAt(entry);
    const auto layer = integerAt(entry, window_keys::kLayer).value_or(0);
    info.layer = layer < std::numeric_limits<int>::min() || layer > std::numeric_limits<int>::max()
                     ? 0
                     : static_cast<int>(layer);
    info.isOnScreen = flagAt(entry, window_keys::kIsOnscreen);
    out.push_back(std::move(info));
  }
  return out;
}

}  // namespace vistarail::macos
