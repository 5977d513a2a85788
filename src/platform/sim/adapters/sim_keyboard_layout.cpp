#include "platform/sim/adapters/sim_keyboard_layout.h"

namespace vistarail::sim {

namespace {

// Keys that type the same character on the layouts below (digits row
// excluded); each layout starts from this and overrides what differs.
SimKeyboardLayout::KeyMap commonAnsiKeys() {
  return {
      // Keypad.
      {65, u"."},
      {67, u"*"},
      {69, u"+"},
      {75, u"/"},
      {78, u"-"},
      {81, u"="},
      {82, u"0"},
      {83, u"1"},
      {84, u"2"},
      {85, u"3"},
      {86, u"4"},
      {87, u"5"},
      {88, u"6"},
      {89, u"7"},
      {91, u"8"},
      {92, u"9"},
      // Return, Tab and Space type white space, which shows as nothing.
      {36, u"\r"},
      {48, u"\t"},
      {49, u" "},
  };
}

SimKeyboardLayout::KeyMap withKeys(SimKeyboardLayout::KeyMap base,
                                   const SimKeyboardLayout::KeyMap& keys) {
  for (const auto& [code, text] : keys) base[code] = text;
  return base;
}

}  // namespace

const SimKeyboardLayout::KeyMap& SimKeyboardLayout::usLayout() {
  static const KeyMap keys = withKeys(
      commonAnsiKeys(),
      {
          {0, u"a"},  {1, u"s"},  {2, u"d"},  {3, u"f"},  {4, u"h"},  {5, u"g"},   {6, u"z"},
          {7, u"x"},  {8, u"c"},  {9, u"v"},  {11, u"b"}, {12, u"q"}, {13, u"w"},  {14, u"e"},
          {15, u"r"}, {16, u"y"}, {17, u"t"}, {18, u"1"}, {19, u"2"}, {20, u"3"},  {21, u"4"},
          {22, u"6"}, {23, u"5"}, {24, u"="}, {25, u"9"}, {26, u"7"}, {27, u"-"},  {28, u"8"},
          {29, u"0"}, {30, u"]"}, {31, u"o"}, {32, u"u"}, {33, u"["}, {34, u"i"},  {35, u"p"},
          {37, u"l"}, {38, u"j"}, {39, u"'"}, {40, u"k"}, {41, u";"}, {42, u"\\"}, {43, u","},
          {44, u"/"}, {45, u"n"}, {46, u"m"}, {47, u"."}, {50, u"`"},
      });
  return keys;
}

const SimKeyboardLayout::KeyMap& SimKeyboardLayout::germanLayout() {
  static const KeyMap keys = withKeys(usLayout(), {
                                                      {6, u"y"},
                                                      {16, u"z"},
                                                      {24, u"´"},
                                                      {27, u"ß"},
                                                      {30, u"+"},
                                                      {33, u"ü"},
                                                      {39, u"ä"},
                                                      {41, u"ö"},
                                                      {42, u"#"},
                                                      {44, u"-"},
                                                      {50, u"<"},
                                                  });
  return keys;
}

const SimKeyboardLayout::KeyMap& SimKeyboardLayout::russianLayout() {
  static const KeyMap keys = withKeys(
      usLayout(),
      {
          {0, u"ф"},  {1, u"ы"},  {2, u"в"},  {3, u"а"},  {4, u"р"},  {5, u"п"},  {6, u"я"},
          {7, u"ч"},  {8, u"с"},  {9, u"м"},  {11, u"и"}, {12, u"й"}, {13, u"ц"}, {14, u"у"},
          {15, u"к"}, {16, u"н"}, {17, u"е"}, {30, u"ъ"}, {31, u"щ"}, {32, u"г"}, {33, u"х"},
          {34, u"ш"}, {35, u"з"}, {37, u"д"}, {38, u"о"}, {39, u"э"}, {40, u"л"}, {41, u"ж"},
          {43, u"б"}, {45, u"т"}, {46, u"ь"}, {47, u"ю"}, {50, u"ё"},
      });
  return keys;
}

std::optional<std::u16string> SimKeyboardLayout::displayCharacters(uint16_t keyCode) const {
  ++translations_;
  if (failure_ != LayoutFailure::none) return std::nullopt;
  const auto it = keys_.find(keyCode);
  if (it == keys_.end()) return std::u16string();
  // The real translation writes into a fixed buffer and fails when the
  // characters do not fit.
  if (it->second.size() > kMaxUnits) return std::nullopt;
  return it->second;
}

}  // namespace vistarail::sim
