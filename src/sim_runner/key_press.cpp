// The keys a scenario's "press" step names, as the hot-key service sees them.

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

#include "input/key_combo.h"
#include "sim_runner/scenario.h"

namespace vistarail::simrun {

std::optional<KeyPress> parseKeyPress(const std::string& text) {
  static const std::map<std::string, uint32_t> keys = {
      {"a", 0},      {"s", 1},        {"d", 2},          {"f", 3},       {"h", 4},
      {"g", 5},      {"z", 6},        {"x", 7},          {"c", 8},       {"v", 9},
      {"b", 11},     {"q", 12},       {"w", 13},         {"e", 14},      {"r", 15},
      {"y", 16},     {"t", 17},       {"1", 18},         {"2", 19},      {"3", 20},
      {"4", 21},     {"6", 22},       {"5", 23},         {"=", 24},      {"9", 25},
      {"7", 26},     {"-", 27},       {"8", 28},         {"0", 29},      {"]", 30},
      {"o", 31},     {"u", 32},       {"[", 33},         {"i", 34},      {"p", 35},
      {"l", 37},     {"j", 38},       {"k", 40},         {"n", 45},      {"m", 46},
      {"left", 123}, {"right", 124},  {"down", 125},     {"up", 126},    {"home", 115},
      {"end", 119},  {"pageup", 116}, {"pagedown", 121}, {"return", 36}, {"tab", 48},
      {"space", 49}, {"delete", 51},  {"escape", 53},    {"f1", 122},    {"f2", 120},
      {"f3", 99},    {"f4", 118},     {"f5", 96},        {"f6", 97},     {"f7", 98},
      {"f8", 100},   {"f9", 101},     {"f10", 109},      {"f11", 103},   {"f12", 111},
  };
  static const std::map<std::string, uint32_t> modifiers = {
      {"ctrl", kControlKeyMask},  {"control", kControlKeyMask}, {"opt", kOptionKeyMask},
      {"option", kOptionKeyMask}, {"alt", kOptionKeyMask},      {"shift", kShiftKeyMask},
      {"cmd", kCommandKeyMask},   {"command", kCommandKeyMask},
  };
  KeyPress press;
  std::optional<uint32_t> key;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, '+')) {
    std::transform(part.begin(), part.end(), part.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (auto m = modifiers.find(part); m != modifiers.end() && !key) {
      press.modifiers |= m->second;
    } else if (auto k = keys.find(part); k != keys.end() && !key) {
      key = k->second;
    } else {
      return std::nullopt;
    }
  }
  if (!key) return std::nullopt;
  press.keyCode = *key;
  return press;
}

}  // namespace vistarail::simrun
