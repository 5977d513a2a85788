#include "strip/saved_layout.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>

namespace vistarail {

namespace {

using Json = nlohmann::json;

// Deeper nesting than the platform's parser accepts counts as undecodable.
// The scan is linear and cheap next to the parse it guards.
bool nestingWithinLimit(std::span<const uint8_t> data) {
  int depth = 0;
  bool inString = false;
  bool escaped = false;
  for (uint8_t byte : data) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (byte == '\\') {
        escaped = true;
      } else if (byte == '"') {
        inString = false;
      }
      continue;
    }
    switch (byte) {
      case '"':
        inString = true;
        break;
      case '[':
      case '{':
        if (++depth > kMaxSavedLayoutNesting) return false;
        break;
      case ']':
      case '}':
        --depth;
        break;
      default:
        break;
    }
  }
  return true;
}

// The parser refuses a number too large for a double, which would fail the
// whole value over one entry. Such numbers are written as null instead, so
// the entry holding one is skipped like any other malformed entry. Only used
// when the plain parse failed; the scan skips string contents.
std::string withOverflowingNumbersAsNull(std::span<const uint8_t> data) {
  std::string out;
  out.reserve(data.size());
  bool inString = false;
  bool escaped = false;
  for (size_t i = 0; i < data.size();) {
    const char c = static_cast<char>(data[i]);
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
      out += c;
      ++i;
      continue;
    }
    if (c == '"') inString = true;
    if (c != '-' && !(c >= '0' && c <= '9')) {
      out += c;
      ++i;
      continue;
    }
    size_t end = i;
    while (end < data.size() && std::strchr("0123456789+-.eE", static_cast<char>(data[end])) &&
           data[end] != 0) {
      ++end;
    }
    const std::string token(data.begin() + i, data.begin() + end);
    const double value = std::strtod(token.c_str(), nullptr);
    out += std::isinf(value) ? std::string("null") : token;
    i = end;
  }
  return out;
}

// Whole numbers may arrive written either way (7 or 7.0); a fraction, or a
// value outside the target type, is an error.
std::optional<double> wholeDouble(const Json& v) {
  if (!v.is_number_float()) return std::nullopt;
  const double d = v.get<double>();
  if (d != std::trunc(d)) return std::nullopt;  // also rejects NaN
  return d;
}

std::optional<int64_t> decodeInt(const Json& v) {
  if (v.is_number_unsigned()) {
    const uint64_t u = v.get<uint64_t>();
    if (u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return std::nullopt;
    return static_cast<int64_t>(u);
  }
  if (v.is_number_integer()) return v.get<int64_t>();
  // An integer literal outside 64 bits reaches us as a double rounded to a
  // neighbouring value (-9223372036854775809 reads as -2^63), so a decimal
  // is trusted only where doubles hold every integer exactly.
  const auto d = wholeDouble(v);
  constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
  if (!d || !(std::fabs(*d) <= kExactIntegers)) return std::nullopt;
  return static_cast<int64_t>(*d);
}

std::optional<WindowId> decodeWindowId(const Json& v) {
  constexpr uint64_t kMax = std::numeric_limits<WindowId>::max();
  if (v.is_number_unsigned()) {
    const uint64_t u = v.get<uint64_t>();
    if (u > kMax) return std::nullopt;
    return static_cast<WindowId>(u);
  }
  if (v.is_number_integer()) {
    const int64_t i = v.get<int64_t>();
    if (i < 0 || static_cast<uint64_t>(i) > kMax) return std::nullopt;
    return static_cast<WindowId>(i);
  }
  const auto d = wholeDouble(v);
  if (!d || !(*d >= 0 && *d <= static_cast<double>(kMax))) return std::nullopt;
  return static_cast<WindowId>(*d);
}

std::optional<double> decodeDouble(const Json& v) {
  if (!v.is_number()) return std::nullopt;
  return v.get<double>();
}

const Json* member(const Json& object, const char* key) {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

std::optional<SavedColumn> decodeColumn(const Json& v) {
  if (!v.is_object()) return std::nullopt;
  const Json* windows = member(v, "windows");
  const Json* proportion = member(v, "proportion");
  if (!windows || !windows->is_array() || !proportion) return std::nullopt;
  SavedColumn column;
  column.windows.reserve(windows->size());
  for (const Json& w : *windows) {
    const auto id = decodeWindowId(w);
    if (!id) return std::nullopt;
    column.windows.push_back(*id);
  }
  const auto p = decodeDouble(*proportion);
  if (!p) return std::nullopt;
  column.proportion = *p;
  return column;
}

std::optional<std::map<WindowId, double>> decodeHeights(const Json& v) {
  if (!v.is_array() || v.size() % 2 != 0) return std::nullopt;
  std::map<WindowId, double> heights;
  for (size_t i = 0; i < v.size(); i += 2) {
    const auto id = decodeWindowId(v[i]);
    const auto height = decodeDouble(v[i + 1]);
    if (!id || !height) return std::nullopt;
    heights[*id] = *height;
  }
  return heights;
}

std::optional<SavedStrip> decodeStrip(const Json& v) {
  if (!v.is_object()) return std::nullopt;
  const Json* columns = member(v, "columns");
  const Json* focused = member(v, "focusedIndex");
  if (!columns || !columns->is_array() || !focused) return std::nullopt;
  SavedStrip strip;
  strip.columns.reserve(columns->size());
  for (const Json& c : *columns) {
    auto column = decodeColumn(c);
    if (!column) return std::nullopt;
    strip.columns.push_back(std::move(*column));
  }
  const auto index = decodeInt(*focused);
  if (!index) return std::nullopt;
  strip.focusedIndex = *index;
  // Missing and null both mean "no heights stored".
  if (const Json* heights = member(v, "preferredHeights"); heights && !heights->is_null()) {
    auto decoded = decodeHeights(*heights);
    if (!decoded) return std::nullopt;
    strip.preferredHeights = std::move(*decoded);
  }
  return strip;
}

// Whole numbers are written without a fraction, as the platform's encoder does.
std::optional<Json> encodeNumber(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
  if (v == std::trunc(v) && std::fabs(v) < kExactIntegers) return Json(static_cast<int64_t>(v));
  return Json(v);
}

std::optional<Json> encodeStrip(const SavedStrip& strip) {
  Json columns = Json::array();
  for (const SavedColumn& column : strip.columns) {
    const auto proportion = encodeNumber(column.proportion);
    if (!proportion) return std::nullopt;
    columns.push_back(Json{{"windows", column.windows}, {"proportion", *proportion}});
  }
  Json out{{"columns", std::move(columns)}, {"focusedIndex", strip.focusedIndex}};
  if (strip.preferredHeights) {
    Json pairs = Json::array();
    for (const auto& [window, height] : *strip.preferredHeights) {
      const auto h = encodeNumber(height);
      if (!h) return std::nullopt;
      pairs.push_back(window);
      pairs.push_back(*h);
    }
    out["preferredHeights"] = std::move(pairs);
  }
  return out;
}

}  // namespace

std::optional<SavedLayouts> decodeSavedLayouts(std::span<const uint8_t> data) {
  if (data.size() > kMaxSavedLayoutBytes || !nestingWithinLimit(data)) return std::nullopt;
  Json root = Json::parse(data.begin(), data.end(), nullptr, /*allow_exceptions=*/false);
  if (root.is_discarded()) {
    root = Json::parse(withOverflowingNumbersAsNull(data), nullptr, /*allow_exceptions=*/false);
  }
  if (root.is_discarded() || !root.is_object()) return std::nullopt;
  SavedLayouts layouts;
  for (const auto& [key, value] : root.items()) {
    // One damaged entry costs only itself: the next save writes back what is
    // in memory plus what was read, and dropping every display's layout over
    // one bad entry would lose them all.
    if (auto strip = decodeStrip(value)) layouts.emplace(key, std::move(*strip));
  }
  return layouts;
}

bool canEncode(const SavedStrip& strip) {
  return encodeStrip(strip).has_value();
}

std::optional<std::vector<uint8_t>> encodeSavedLayouts(const SavedLayouts& layouts) {
  Json root = Json::object();
  for (const auto& [key, strip] : layouts) {
    auto encoded = encodeStrip(strip);
    if (!encoded) return std::nullopt;
    root[key] = std::move(*encoded);
  }
  std::string text;
  try {
    text = root.dump(-1, ' ', false, Json::error_handler_t::strict);
  } catch (const Json::exception&) {
    return std::nullopt;  // a key that is not valid UTF-8
  }
  return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace vistarail
