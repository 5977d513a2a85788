#include "platform/defaults.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace vistarail {

namespace {

// NSString's boolValue: after optional whitespace, sign and leading zeros, the
// first character decides: Y, y, T, t or a digit 1-9 mean true.
bool stringBool(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  while (i < s.size() && s[i] == '0') ++i;
  if (i >= s.size()) return false;
  const char c = s[i];
  return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

// NSString's doubleValue: the leading number, 0 when there is none.
double stringDouble(const std::string& s) {
  const char* begin = s.c_str();
  char* end = nullptr;
  const double v = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(v)) return 0;
  return v;
}

long long clampToInteger(double v) {
  if (!std::isfinite(v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<long long>::max()))
    return std::numeric_limits<long long>::max();
  if (v <= static_cast<double>(std::numeric_limits<long long>::min()))
    return std::numeric_limits<long long>::min();
  return static_cast<long long>(v);
}

}  // namespace

bool Defaults::boolean(const std::string& key) const {
  const auto v = object(key);
  if (!v) return false;
  if (v->is_boolean()) return v->get<bool>();
  if (v->is_number()) return v->get<double>() != 0;
  if (v->is_string()) return stringBool(v->get<std::string>());
  return false;
}

long long Defaults::integer(const std::string& key) const {
  const auto v = object(key);
  if (!v) return 0;
  if (v->is_boolean()) return v->get<bool>() ? 1 : 0;
  if (v->is_number_integer()) return v->get<long long>();
  if (v->is_number()) return clampToInteger(v->get<double>());
  if (v->is_string()) return clampToInteger(stringDouble(v->get<std::string>()));
  return 0;
}

double Defaults::number(const std::string& key) const {
  const auto v = object(key);
  if (!v) return 0;
  if (v->is_boolean()) return v->get<bool>() ? 1 : 0;
  if (v->is_number()) return v->get<double>();
  if (v->is_string()) return stringDouble(v->get<std::string>());
  return 0;
}

std::optional<std::string> Defaults::string(const std::string& key) const {
  const auto v = object(key);
  if (!v) return std::nullopt;
  if (v->is_string()) return v->get<std::string>();
  if (v->is_boolean()) return v->get<bool>() ? "1" : "0";
  if (v->is_number()) return v->dump();
  return std::nullopt;
}

std::optional<std::vector<std::string>> Defaults::stringArray(const std::string& key) const {
  const auto v = object(key);
  if (!v || !v->is_array()) return std::nullopt;
  std::vector<std::string> out;
  out.reserve(v->size());
  for (const auto& element : *v) {
    if (!element.is_string()) return std::nullopt;
    out.push_back(element.get<std::string>());
  }
  return out;
}

std::optional<std::vector<uint8_t>> Defaults::data(const std::string& key) const {
  const auto v = object(key);
  if (!v || !v->is_binary()) return std::nullopt;
  const auto& bin = v->get_binary();
  return std::vector<uint8_t>(bin.begin(), bin.end());
}

void Defaults::setData(const std::string& key, const std::vector<uint8_t>& bytes) {
  set(key, PropertyList::binary(bytes));
}

}  // namespace vistarail
