#pragma once
// Key bindings: each action with its ordered shortcuts, possibly none. The
// editing operations keep a shortcut on at most one action, so that one key
// press never triggers two commands.

#include <map>
#include <optional>
#include <vector>

#include "input/action.h"
#include "input/key_combo.h"

namespace vistarail {

// Ordered by action, so iteration follows declaration order.
using Bindings = std::map<Action, std::vector<KeyCombo>>;

// A fresh copy of the shipped shortcuts: every action has at least one and no
// shortcut is used twice.
Bindings defaultBindings();

// Takes the combo away from every action (the target too), then appends it to
// the target's list, creating the entry when missing.
void assignCombo(Bindings& bindings, const KeyCombo& combo, Action action);

// Removes every occurrence of the combo from that action only; an emptied list
// stays as an empty entry, so the action stays without shortcuts.
void removeCombo(Bindings& bindings, const KeyCombo& combo, Action action);

// The first action (in declaration order) holding the combo.
std::optional<Action> actionForCombo(const Bindings& bindings, const KeyCombo& combo);

}  // namespace vistarail
