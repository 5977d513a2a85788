#include "settings_ui/shortcuts_tab.h"

#include "input/shortcut_recorder.h"

namespace vistarail {

Controls ShortcutsTab::controls() {
  AppSettings& s = context_.settings;
  Controls c;
  c.push_back(paragraph(
      "Click a shortcut to remove it, + to record another. One action can have several."));
  c.push_back(button("Restore Defaults", [this] { restoreDefaults(); }));
  for (ActionGroup group : kAllActionGroups) {
    c.push_back(sectionHeader(std::string(rawValue(group))));
    for (Action action : actions(group)) {
      Control row;
      row.view.kind = FormControlKind::shortcutRow;
      row.view.id = "shortcut." + std::string(rawValue(action));
      row.view.label = title(action);
      row.view.help = "Record a shortcut";
      auto bound = s.bindings.value().find(action);
      std::vector<KeyCombo> combos;
      if (bound != s.bindings.value().end()) combos = bound->second;
      for (const KeyCombo& combo : combos)
        row.view.keys.push_back(context_.services.shortcutText
                                    ? context_.services.shortcutText(combo)
                                    : std::string("?"));
      if (recording_ == action) row.view.detail = kRecordingPrompt;
      // A number removes that shortcut ("Remove " + its text); nothing records.
      row.act = [this, action, combos](const ControlInput& input) {
        if (const int* index = std::get_if<int>(&input)) {
          if (*index >= 0 && *index < static_cast<int>(combos.size()))
            context_.settings.removeBinding(combos[*index], action);
          return;
        }
        startRecording(action);
      };
      c.push_back(std::move(row));
    }
  }
  return c;
}

void ShortcutsTab::startRecording(Action action) {
  endRecording();
  recording_ = action;
  setHotKeysSuspended(true);
  monitor_ = context_.keyMonitor.add([this](const KeyDown& key) { return handleKey(key); });
}

void ShortcutsTab::endRecording() {
  if (!recording_) return;
  recording_.reset();
  if (monitor_) context_.keyMonitor.remove(*monitor_);
  monitor_.reset();
  setHotKeysSuspended(false);
}

void ShortcutsTab::restoreDefaults() {
  context_.settings.bindings.set(defaultBindings());
}

KeyDisposition ShortcutsTab::handleKey(const KeyDown& key) {
  if (!recording_) return KeyDisposition::passedOn;
  const RecordedKey verdict = judgeRecordedKey(key.keyCode, key.modifierFlags);
  switch (verdict.verdict) {
    case RecorderVerdict::stopRecording:
      endRecording();
      break;
    case RecorderVerdict::refuseWithBeep:
      if (context_.services.beep) context_.services.beep();
      break;
    case RecorderVerdict::accept:
      context_.settings.addBinding(verdict.combo, *recording_);
      endRecording();
      break;
  }
  return KeyDisposition::consumed;
}

void ShortcutsTab::setHotKeysSuspended(bool suspended) {
  HotKeyManager* hotKeys = context_.hotKeys ? context_.hotKeys() : nullptr;
  if (!hotKeys) return;
  // Resuming registers what the manager holds; give it the bindings as they
  // are now, so a shortcut just recorded is live at once.
  if (!suspended) hotKeys->registerBindings(context_.settings.bindings.value());
  hotKeys->setSuspended(suspended);
}

}  // namespace vistarail
