#include "input/bindings_document.h"

#include <algorithm>
#include <exception>
#include <nlohmann/json.hpp>
#include <unordered_set>

#include "input/key_combo_codec.h"

namespace vistarail {

namespace {

std::optional<std::vector<KeyCombo>> decodeCombos(const nlohmann::json& value) {
  if (!value.is_array()) return std::nullopt;
  std::vector<KeyCombo> combos;
  combos.reserve(value.size());
  for (const nlohmann::json& element : value) {
    const auto combo = keyComboFromJson(element);
    if (!combo) return std::nullopt;
    combos.push_back(*combo);
  }
  return combos;
}

}  // namespace

std::optional<Bindings> decodeBindingsDocument(std::span<const uint8_t> bytes) {
  if (bytes.size() > kMaxBindingsDocumentBytes) return std::nullopt;
  try {
    const nlohmann::json document =
        nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, /*allow_exceptions=*/false);
    if (!document.is_object()) return std::nullopt;  // also a parse error (discarded)
    Bindings bindings;
    for (const auto& [name, value] : document.items()) {
      const auto action = actionFromRaw(name);
      if (!action) continue;
      auto combos = decodeCombos(value);
      if (!combos) return std::nullopt;
      bindings[*action] = std::move(*combos);
    }
    return bindings;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

Bindings completedWithDefaults(Bindings stored) {
  std::unordered_set<KeyCombo> taken;
  for (const auto& [_, combos] : stored) taken.insert(combos.begin(), combos.end());
  for (auto& [action, defaults] : defaultBindings()) {
    if (stored.contains(action)) continue;
    std::erase_if(defaults, [&](const KeyCombo& combo) { return taken.contains(combo); });
    stored[action] = std::move(defaults);
  }
  return stored;
}

Bindings bindingsFromStoredData(const std::optional<std::vector<uint8_t>>& data) {
  if (!data) return defaultBindings();
  auto stored = decodeBindingsDocument(*data);
  if (!stored) return defaultBindings();
  return completedWithDefaults(std::move(*stored));
}

std::optional<std::vector<uint8_t>> encodeBindingsDocument(const Bindings& bindings) {
  try {
    nlohmann::ordered_json document = nlohmann::ordered_json::object();
    for (const auto& [action, combos] : bindings) {
      nlohmann::ordered_json list = nlohmann::ordered_json::array();
      for (const KeyCombo& combo : combos) {
        list.push_back({{"keyCode", combo.keyCode}, {"modifiers", combo.modifiers}});
      }
      document[std::string(rawValue(action))] = std::move(list);
    }
    const std::string text = document.dump();
    return std::vector<uint8_t>(text.begin(), text.end());
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace vistarail
