#pragma once
// Property-list values (dictionaries, arrays, strings, numbers, booleans, data)
// as the platform's defaults and private window-server calls hand them over.
// nlohmann::json models them exactly, with binary values standing for data.

#include <nlohmann/json.hpp>

namespace vistarail {

using PropertyList = nlohmann::json;

}  // namespace vistarail
