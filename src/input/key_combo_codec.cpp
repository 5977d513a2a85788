#include "input/key_combo_codec.h"

#include <limits>

namespace vistarail {

namespace {

std::optional<uint32_t> unsigned32(const nlohmann::json& json, const char* member) {
  const auto it = json.find(member);
  if (it == json.end()) return std::nullopt;
  if (it->is_number_unsigned()) {
    const auto value = it->get<uint64_t>();
    if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    return static_cast<uint32_t>(value);
  }
  if (it->is_number_integer()) {
    const auto value = it->get<int64_t>();
    if (value < 0 || value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    return static_cast<uint32_t>(value);
  }
  return std::nullopt;
}

}  // namespace

nlohmann::json toJson(const KeyCombo& combo) {
  return {{"keyCode", combo.keyCode}, {"modifiers", combo.modifiers}};
}

std::optional<KeyCombo> keyComboFromJson(const nlohmann::json& json) {
  if (!json.is_object()) return std::nullopt;
  const auto keyCode = unsigned32(json, "keyCode");
  const auto modifiers = unsigned32(json, "modifiers");
  if (!keyCode || !modifiers) return std::nullopt;
  return KeyCombo{*keyCode, *modifiers};
}

}  // namespace vistarail
