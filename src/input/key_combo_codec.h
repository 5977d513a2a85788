#pragma once
// The stored form of a key combo, kept apart from the value so that only the
// codecs of stored bindings see JSON.

#include <nlohmann/json.hpp>
#include <optional>

#include "input/key_combo.h"

namespace vistarail {

// JSON form: {"keyCode": n, "modifiers": n}, both unsigned 32-bit integers.
nlohmann::json toJson(const KeyCombo& combo);
// No value unless both members are integers that fit 32 unsigned bits. Other
// members are ignored, so a newer version may add some.
std::optional<KeyCombo> keyComboFromJson(const nlohmann::json& json);

}  // namespace vistarail
