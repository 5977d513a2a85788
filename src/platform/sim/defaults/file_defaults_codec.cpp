#include "platform/sim/defaults/file_defaults_codec.h"

#include <array>
#include <cmath>
#include <limits>

namespace vistarail::sim {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kDataTag[] = "$data";
constexpr char kRealTag[] = "$real";
constexpr char kDictTag[] = "$dict";

constexpr std::array<int8_t, 256> makeDecodeTable() {
  std::array<int8_t, 256> table{};
  for (auto& entry : table) entry = -1;
  for (int i = 0; i < 64; ++i)
    table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
  return table;
}
constexpr auto kDecodeTable = makeDecodeTable();

bool isSingleDollarKeyDictionary(const PropertyList& value) {
  if (!value.is_object() || value.size() != 1) return false;
  const std::string& key = value.begin().key();
  return !key.empty() && key.front() == '$';
}

PropertyList encodeAtDepth(const PropertyList& value, int depth);
PropertyList decodeAtDepth(const PropertyList& value, int depth);
std::optional<PropertyList> decodeTag(const PropertyList& value);

// Whether reading would take this dictionary for a tag and turn it into
// something else; only such dictionaries need the "$dict" escape. Malformed
// tags are written exactly as they came.
bool readsAsTag(const PropertyList& value) {
  if (!isSingleDollarKeyDictionary(value)) return false;
  if (value.begin().key() == kDictTag) return value.begin().value().is_object();
  return decodeTag(value).has_value();
}

PropertyList encodeMembers(const PropertyList& dictionary, int depth) {
  PropertyList out = PropertyList::object();
  for (const auto& [key, member] : dictionary.items()) out[key] = encodeAtDepth(member, depth + 1);
  return out;
}

PropertyList encodeAtDepth(const PropertyList& value, int depth) {
  if (depth >= kMaxNestingDepth) return value;
  if (value.is_binary()) {
    const auto& bytes = value.get_binary();
    return {{kDataTag, base64Encode(std::vector<uint8_t>(bytes.begin(), bytes.end()))}};
  }
  if (value.is_number_float()) {
    const double v = value.get<double>();
    if (std::isnan(v)) return {{kRealTag, "nan"}};
    if (std::isinf(v)) return {{kRealTag, v > 0 ? "inf" : "-inf"}};
    return value;
  }
  if (value.is_array()) {
    PropertyList out = PropertyList::array();
    for (const auto& element : value) out.push_back(encodeAtDepth(element, depth + 1));
    return out;
  }
  if (value.is_object()) {
    PropertyList members = encodeMembers(value, depth);
    if (readsAsTag(value)) return {{kDictTag, std::move(members)}};
    return members;
  }
  return value;
}

std::optional<PropertyList> decodeTag(const PropertyList& value) {
  if (!isSingleDollarKeyDictionary(value)) return std::nullopt;
  const std::string& key = value.begin().key();
  const PropertyList& payload = value.begin().value();
  if (key == kDataTag && payload.is_string()) {
    if (auto bytes = base64Decode(payload.get_ref<const std::string&>())) {
      return PropertyList::binary(std::move(*bytes));
    }
    return std::nullopt;
  }
  if (key == kRealTag && payload.is_string()) {
    const auto& word = payload.get_ref<const std::string&>();
    if (word == "nan") return PropertyList(std::numeric_limits<double>::quiet_NaN());
    if (word == "inf") return PropertyList(std::numeric_limits<double>::infinity());
    if (word == "-inf") return PropertyList(-std::numeric_limits<double>::infinity());
  }
  return std::nullopt;
}

PropertyList decodeAtDepth(const PropertyList& value, int depth) {
  if (depth >= kMaxNestingDepth) return value;
  if (value.is_array()) {
    PropertyList out = PropertyList::array();
    for (const auto& element : value) out.push_back(decodeAtDepth(element, depth + 1));
    return out;
  }
  if (!value.is_object()) return value;
  if (auto tagged = decodeTag(value)) return *tagged;
  const PropertyList* members = &value;
  if (value.size() == 1 && value.begin().key() == kDictTag && value.begin().value().is_object()) {
    members = &value.begin().value();
  }
  PropertyList out = PropertyList::object();
  for (const auto& [key, member] : members->items()) out[key] = decodeAtDepth(member, depth + 1);
  return out;
}

}  // namespace

std::string base64Encode(const std::vector<uint8_t>& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const uint32_t n = (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
    out += kAlphabet[(n >> 18) & 63];
    out += kAlphabet[(n >> 12) & 63];
    out += kAlphabet[(n >> 6) & 63];
    out += kAlphabet[n & 63];
  }
  const size_t rest = bytes.size() - i;
  if (rest == 0) return out;
  uint32_t n = uint32_t{bytes[i]} << 16;
  if (rest == 2) n |= uint32_t{bytes[i + 1]} << 8;
  out += kAlphabet[(n >> 18) & 63];
  out += kAlphabet[(n >> 12) & 63];
  out += rest == 2 ? kAlphabet[(n >> 6) & 63] : '=';
  out += '=';
  return out;
}

std::optional<std::vector<uint8_t>> base64Decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  size_t padding = 0;
  if (!text.empty() && text.back() == '=') padding = text[text.size() - 2] == '=' ? 2 : 1;
  std::vector<uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  for (size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    uint32_t n = 0;
    for (size_t j = 0; j < 4; ++j) {
      const bool isPad = last && j >= 4 - padding;
      const int8_t digit = isPad ? 0 : kDecodeTable[static_cast<unsigned char>(text[i + j])];
      if (digit < 0) return std::nullopt;
      n = (n << 6) | static_cast<uint32_t>(digit);
    }
    out.push_back(static_cast<uint8_t>(n >> 16));
    if (!last || padding < 2) out.push_back(static_cast<uint8_t>(n >> 8));
    if (!last || padding < 1) out.push_back(static_cast<uint8_t>(n));
    // Bits a padded group leaves unused must be zero, or two texts would decode alike.
    if (last && padding == 1 && (n & 0xFF) != 0) return std::nullopt;
    if (last && padding == 2 && (n & 0xFFFF) != 0) return std::nullopt;
  }
  return out;
}

PropertyList encodeForFile(const PropertyList& value) {
  return encodeAtDepth(value, 0);
}

PropertyList decodeFromFile(const PropertyList& value) {
  return decodeAtDepth(value, 0);
}

}  // namespace vistarail::sim
