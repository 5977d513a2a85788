#include "app/stored_formats.h"

#include <algorithm>
#include <cmath>

#include "input/bindings_document.h"

namespace vistarail {

StoredFormat<bool> storedBool(bool registered) {
  return {
      .registered = PropertyList(registered),
      .load = [](const Defaults& d, const std::string& key,
                 const LoadContext&) { return d.boolean(key); },
      .encode = [](const bool& value) -> std::optional<PropertyList> { return value; },
  };
}

StoredFormat<double> storedNumber(double registered, std::optional<ClampRange> clamp) {
  return {
      .registered = PropertyList(registered),
      .load =
          [registered, clamp](const Defaults& d, const std::string& key, const LoadContext&) {
            double value = d.number(key);
            // An infinity is still a direction, which a clamp turns into its
            // bound; NaN says nothing, and neither does an unbounded infinity.
            if (std::isnan(value) || (!clamp && !std::isfinite(value))) return registered;
            if (!clamp) return value;
            if (value <= clamp->lower) value = clamp->lower;
            if (value > clamp->upper) value = clamp->upper;
            return value;
          },
      .encode = [](const double& value) -> std::optional<PropertyList> { return value; },
      .normalize =
          [clamp](const double& value) {
            if (!clamp) return value;
            return std::clamp(value, clamp->lower, clamp->upper);
          },
  };
}

StoredFormat<int> storedChoice(int registered, std::vector<int> allowed) {
  return {
      .registered = PropertyList(registered),
      .load =
          [registered, allowed](const Defaults& d, const std::string& key, const LoadContext&) {
            const long long stored = d.integer(key);
            for (const int choice : allowed) {
              if (stored == choice) return choice;
            }
            return registered;
          },
      .encode = [](const int& value) -> std::optional<PropertyList> { return value; },
      .normalize =
          [registered, allowed](const int& value) {
            return std::find(allowed.begin(), allowed.end(), value) != allowed.end() ? value
                                                                                     : registered;
          },
  };
}

StoredFormat<std::vector<std::string>> storedStringList(std::vector<std::string> registered) {
  return {
      .registered = PropertyList(registered),
      .load =
          [](const Defaults& d, const std::string& key, const LoadContext&) {
            return d.stringArray(key).value_or(std::vector<std::string>{});
          },
      .encode = [](const std::vector<std::string>& value) -> std::optional<PropertyList> {
        return PropertyList(value);
      },
  };
}

StoredFormat<std::vector<std::string>> storedDisplayList() {
  return {
      .registered = std::nullopt,
      .load =
          [](const Defaults& d, const std::string& key, const LoadContext& context) {
            if (auto stored = d.stringArray(key)) return *stored;
            if (context.initialDisplayID)
              return std::vector<std::string>{*context.initialDisplayID};
            return std::vector<std::string>{};
          },
      .encode = [](const std::vector<std::string>& value) -> std::optional<PropertyList> {
        return PropertyList(value);
      },
  };
}

StoredFormat<std::vector<double>> storedNumberList(std::vector<double> registered,
                                                   std::vector<double> fallback) {
  return {
      .registered = PropertyList(registered),
      .load =
          [fallback](const Defaults& d, const std::string& key, const LoadContext&) {
            const auto stored = d.object(key);
            if (!stored || !stored->is_array()) return fallback;
            std::vector<double> values;
            values.reserve(stored->size());
            for (const PropertyList& element : *stored) {
              if (!element.is_number()) return fallback;
              const double value = element.get<double>();
              if (!std::isfinite(value)) return fallback;
              values.push_back(value);
            }
            return values;
          },
      .encode = [](const std::vector<double>& value) -> std::optional<PropertyList> {
        return PropertyList(value);
      },
  };
}

StoredFormat<CenterMode> storedCenterMode(CenterMode registered) {
  return {
      .registered = PropertyList(std::string(rawValue(registered))),
      .load =
          [registered](const Defaults& d, const std::string& key, const LoadContext&) {
            const auto name = d.string(key);
            if (!name) return registered;
            return centerModeFromRaw(*name).value_or(registered);
          },
      .encode = [](const CenterMode& value) -> std::optional<PropertyList> {
        return std::string(rawValue(value));
      },
  };
}

StoredFormat<Bindings> storedBindings() {
  return {
      .registered = std::nullopt,
      .load = [](const Defaults& d, const std::string& key,
                 const LoadContext&) { return bindingsFromStoredData(d.data(key)); },
      .encode = [](const Bindings& value) -> std::optional<PropertyList> {
        auto bytes = encodeBindingsDocument(value);
        if (!bytes) return std::nullopt;
        return PropertyList::binary(std::move(*bytes));
      },
  };
}

}  // namespace vistarail
