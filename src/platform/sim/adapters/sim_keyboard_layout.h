#pragma once
// The simulated keyboard layout service. It answers a US layout until told to
// use another one, and can be told to fail the way the real service fails:
// no current input source, a source without Unicode layout data, or an error
// from the translation itself.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/keyboard_layout.h"

namespace vistarail::sim {

enum class LayoutFailure {
  none,
  noInputSource,     // no current keyboard layout
  noUnicodeLayout,   // the layout carries no Unicode key layout data
  translationError,  // the key translation returns an error
};

class SimKeyboardLayout final : public KeyboardLayout {
 public:
  // What each key types without modifiers; keys not listed type nothing.
  using KeyMap = std::map<uint16_t, std::u16string>;

  static const KeyMap& usLayout();
  // German (QWERTZ): Y and Z swapped, umlauts, ß.
  static const KeyMap& germanLayout();
  // Russian (ЙЦУКЕН) letters.
  static const KeyMap& russianLayout();

  SimKeyboardLayout() = default;

  void useLayout(KeyMap keys) { keys_ = std::move(keys); }
  void setFailure(LayoutFailure failure) { failure_ = failure; }
  // Calls to displayCharacters so far.
  int translationCount() const { return translations_; }

  std::optional<std::u16string> displayCharacters(uint16_t keyCode) const override;

 private:
  KeyMap keys_ = usLayout();
  LayoutFailure failure_ = LayoutFailure::none;
  mutable int translations_ = 0;
};

}  // namespace vistarail::sim
