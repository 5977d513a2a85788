#pragma once
// Small builders shared by the strip tests.

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "strip/layout_geometry.h"
#include "strip/strip.h"

namespace vistarail::test {

// A strip written as its columns left to right, each in brackets with its
// windows top to bottom (one digit each): "*" marks the focused column and "^"
// an active window other than the first, as in "[1] *[2 ^3] [4]".
inline Strip parseStrip(std::string_view text, double proportion = 0.5) {
  Strip strip;
  for (char ch : text) {
    if (ch == '*') strip.focusedIndex = strip.count();
    if (ch == '[') strip.columns.emplace_back(std::vector<WindowId>{}, proportion);
    if (ch == '^') strip.columns.back().activeIndex = strip.columns.back().count();
    if (std::isdigit(ch)) strip.columns.back().windows.push_back(ch - '0');
  }
  return strip;
}

// The same notation for any strip; an empty strip is "".
inline std::string describe(const Strip& strip) {
  std::string out;
  for (int i = 0; i < strip.count(); ++i) {
    const Column& column = strip.columns[i];
    out += i == strip.focusedIndex ? " *[" : " [";
    for (int w = 0; w < column.count(); ++w) {
      out += (w ? (w == column.activeIndex ? " ^" : " ") : "") + std::to_string(column.windows[w]);
    }
    out += "]";
  }
  return out.empty() ? out : out.substr(1);
}

// A 1440 x 875 visible frame at the origin, gaps 8 and 8: W = 1424, H = 859.
inline LayoutGeometry laptopGeometry() {
  return {Rect(0, 0, 1440, 875), 8, 8};
}

}  // namespace vistarail::test
