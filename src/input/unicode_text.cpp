#include "input/unicode_text.h"

namespace vistarail {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool isLowSurrogate(char32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

bool isWhitespaceOrNewline(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// In the ranges where case alternates letter by letter, each range starts
// with an upper-case letter and every lower-case one follows its upper case.
struct AlternatingRange {
  char32_t first;
  char32_t last;
};

constexpr AlternatingRange kAlternating[] = {
    {0x100, 0x12F}, {0x132, 0x137}, {0x139, 0x148}, {0x14A, 0x177}, {0x179, 0x17E},  // Latin
    {0x460, 0x481}, {0x48A, 0x4BF}, {0x4C1, 0x4CE}, {0x4D0, 0x52F},                  // Cyrillic
};

// The single upper-case code point of c (c itself when it has none).
char32_t upperOf(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c == 0xB5) return 0x39C;  // micro sign → capital mu
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c == 0x131) return U'I';  // dotless i
  if (c == 0x17F) return U'S';  // long s
  for (const AlternatingRange& range : kAlternating) {
    if (c >= range.first && c <= range.last) return ((c - range.first) % 2) ? c - 1 : c;
  }
  // Greek.
  switch (c) {
    case 0x3AC:
      return 0x386;
    case 0x3AD:
      return 0x388;
    case 0x3AE:
      return 0x389;
    case 0x3AF:
      return 0x38A;
    case 0x3C2:
      return 0x3A3;  // final sigma
    case 0x3CC:
      return 0x38C;
    case 0x3CD:
      return 0x38E;
    case 0x3CE:
      return 0x38F;
    default:
      break;
  }
  if (c >= 0x3B1 && c <= 0x3CB) return c - 0x20;
  // Cyrillic.
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (c == 0x4CF) return 0x4C0;
  // Armenian.
  if (c >= 0x561 && c <= 0x586) return c - 0x30;
  return c;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::u32string decodeUtf16(const std::u16string& units) {
  std::u32string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    if (isHighSurrogate(unit) && i + 1 < units.size() && isLowSurrogate(units[i + 1])) {
      const char32_t low = units[++i];
      out.push_back(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
    } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
      out.push_back(kReplacement);
    } else {
      out.push_back(unit);
    }
  }
  return out;
}

std::u32string trimmedWhitespace(const std::u32string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isWhitespaceOrNewline(text[begin])) ++begin;
  while (end > begin && isWhitespaceOrNewline(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::u32string upperCased(const std::u32string& text) {
  std::u32string out;
  out.reserve(text.size());
  for (const char32_t c : text) {
    if (c == 0xDF) {  // ß has no single upper-case letter in common use
      out += U"SS";
      continue;
    }
    out.push_back(upperOf(c));
  }
  return out;
}

std::string encodeUtf8(const std::u32string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char32_t c : text) appendUtf8(out, c);
  return out;
}

}  // namespace vistarail
