#include "input/bindings.h"

#include <algorithm>

namespace vistarail {

namespace {

// Modifier masks of the shipped shortcuts.
constexpr uint32_t kCtrlOpt = kControlKeyMask | kOptionKeyMask;  // 6144
constexpr uint32_t kCtrlOptShift = kCtrlOpt | kShiftKeyMask;     // 6656

struct DefaultEntry {
  Action action;
  std::vector<KeyCombo> combos;
};

}  // namespace

Bindings defaultBindings() {
  using enum Action;
  // Virtual key codes: arrows 123 ← 124 → 126 ↑ 125 ↓, Home 115, End 119;
  // letters and digits as on a US keyboard.
  static const DefaultEntry kTable[] = {
      {focusLeft, {{123, kCtrlOpt}, {4, kCtrlOpt}}},             // ⌃⌥← ⌃⌥H
      {focusRight, {{124, kCtrlOpt}, {37, kCtrlOpt}}},           // ⌃⌥→ ⌃⌥L
      {focusUp, {{126, kCtrlOpt}, {40, kCtrlOpt}}},              // ⌃⌥↑ ⌃⌥K
      {focusDown, {{125, kCtrlOpt}, {38, kCtrlOpt}}},            // ⌃⌥↓ ⌃⌥J
      {focusFirst, {{115, kCtrlOpt}}},                           // ⌃⌥↖
      {focusLast, {{119, kCtrlOpt}}},                            // ⌃⌥↘
      {focusColumn1, {{18, kCtrlOpt}}},                          // ⌃⌥1
      {focusColumn2, {{19, kCtrlOpt}}},                          // ⌃⌥2
      {focusColumn3, {{20, kCtrlOpt}}},                          // ⌃⌥3
      {focusColumn4, {{21, kCtrlOpt}}},                          // ⌃⌥4
      {focusColumn5, {{23, kCtrlOpt}}},                          // ⌃⌥5
      {focusColumn6, {{22, kCtrlOpt}}},                          // ⌃⌥6
      {focusColumn7, {{26, kCtrlOpt}}},                          // ⌃⌥7
      {focusColumn8, {{28, kCtrlOpt}}},                          // ⌃⌥8
      {focusColumn9, {{25, kCtrlOpt}}},                          // ⌃⌥9
      {moveLeft, {{123, kCtrlOptShift}, {4, kCtrlOptShift}}},    // ⌃⌥⇧← ⌃⌥⇧H
      {moveRight, {{124, kCtrlOptShift}, {37, kCtrlOptShift}}},  // ⌃⌥⇧→ ⌃⌥⇧L
      {moveUp, {{126, kCtrlOptShift}, {40, kCtrlOptShift}}},     // ⌃⌥⇧↑ ⌃⌥⇧K
      {moveDown, {{125, kCtrlOptShift}, {38, kCtrlOptShift}}},   // ⌃⌥⇧↓ ⌃⌥⇧J
      {moveToFirst, {{115, kCtrlOptShift}}},                     // ⌃⌥⇧↖
      {moveToLast, {{119, kCtrlOptShift}}},                      // ⌃⌥⇧↘
      {cycleWidth, {{15, kCtrlOpt}}},                            // ⌃⌥R
      {cycleWidthBack, {{15, kCtrlOptShift}}},                   // ⌃⌥⇧R
      {fullWidth, {{3, kCtrlOpt}}},                              // ⌃⌥F
      {center, {{8, kCtrlOpt}}},                                 // ⌃⌥C
      {widen, {{24, kCtrlOpt}}},                                 // ⌃⌥=
      {narrow, {{27, kCtrlOpt}}},                                // ⌃⌥-
      {stackIntoLeft, {{33, kCtrlOpt}}},                         // ⌃⌥[
      {popOut, {{30, kCtrlOpt}}},                                // ⌃⌥]
      {toggleFloat, {{17, kCtrlOpt}}},                           // ⌃⌥T
      {retile, {{17, kCtrlOptShift}}},                           // ⌃⌥⇧T
      {togglePause, {{35, kCtrlOpt}}},                           // ⌃⌥P
      {toggleCarousel, {{1, kCtrlOpt}}},                         // ⌃⌥S
  };
  static_assert(std::size(kTable) == kActionCount);
  Bindings bindings;
  for (const DefaultEntry& entry : kTable) bindings[entry.action] = entry.combos;
  return bindings;
}

void assignCombo(Bindings& bindings, const KeyCombo& combo, Action action) {
  for (auto& [_, combos] : bindings) std::erase(combos, combo);
  bindings[action].push_back(combo);
}

void removeCombo(Bindings& bindings, const KeyCombo& combo, Action action) {
  const auto it = bindings.find(action);
  if (it == bindings.end()) return;
  std::erase(it->second, combo);
}

std::optional<Action> actionForCombo(const Bindings& bindings, const KeyCombo& combo) {
  for (const auto& [action, combos] : bindings) {
    if (std::find(combos.begin(), combos.end(), combo) != combos.end()) return action;
  }
  return std::nullopt;
}

}  // namespace vistarail
