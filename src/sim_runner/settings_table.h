#pragma once
// Settings named by property, as scenarios name them: checking a value before
// a run and assigning it to the live store during one.

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/app_settings.h"

namespace vistarail::simrun {

// What is wrong with the value for the property, if anything (including an
// unknown property).
std::optional<std::string> checkSetting(const std::string& property, const nlohmann::json& value);
// Assigns a checked value.
void assignSetting(AppSettings& settings, const std::string& property, const nlohmann::json& value);
// The value in memory, for reports.
nlohmann::json settingValue(const AppSettings& settings, const std::string& property);
// The properties a scenario may set, in the store's order.
std::vector<std::string> settableProperties();

}  // namespace vistarail::simrun
