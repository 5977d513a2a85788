#pragma once
// The Shortcuts tab: every action in its group with its shortcuts, and the
// recorder that takes a new one from the keyboard.
//
// Recording listens to one action at a time. While it listens the global
// shortcuts are suspended, so a combo that is already bound reaches the
// recorder instead of running its command, and every key-down is consumed.
// Escape ends it without a change; a key without Control, Option or Command
// beeps and keeps listening unless it is a function key; anything else is
// bound to the action (taken from any other action that had it) and ends it.
// Ending, for whatever reason (a key, another row's +, the window closing),
// removes the key monitor and brings the global shortcuts back with the
// bindings as they are now.

#include <optional>

#include "settings_ui/controls.h"
#include "settings_ui/settings_context.h"

namespace vistarail {

inline constexpr const char* kRecordingPrompt = "Press the new shortcut… (Esc cancels)";

class ShortcutsTab {
 public:
  explicit ShortcutsTab(SettingsContext& context) : context_(context) {}
  ~ShortcutsTab() { endRecording(); }
  ShortcutsTab(const ShortcutsTab&) = delete;
  ShortcutsTab& operator=(const ShortcutsTab&) = delete;

  Controls controls();

  void startRecording(Action action);
  void endRecording();
  std::optional<Action> recording() const { return recording_; }
  void restoreDefaults();

 private:
  KeyDisposition handleKey(const KeyDown& key);
  void setHotKeysSuspended(bool suspended);

  SettingsContext& context_;
  std::optional<Action> recording_;
  std::optional<KeyMonitor::Token> monitor_;
};

}  // namespace vistarail
