#pragma once
// Settings named by property, as scenarios and the control socket name them:
// checking a value, assigning it to the live store with the treatment a
// stored value gets (clamps), and reading it back.

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/app_settings.h"

namespace vistarail {

// What is wrong with the value for the property, if anything (including an
// unknown property).
std::optional<std::string> checkSetting(const std::string& property, const nlohmann::json& value);
// Assigns a checked value, clamped as the store clamps a stored one.
void assignSetting(AppSettings& settings, const std::string& property, const nlohmann::json& value);
// The value in memory, for reports.
nlohmann::json settingValue(const AppSettings& settings, const std::string& property);
// The properties that may be set by name, in the store's order.
std::vector<std::string> settableProperties();

}  // namespace vistarail
