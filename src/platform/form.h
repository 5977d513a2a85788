#pragma once
// A settings window as plain values: its title, size and tabs, and the
// controls of the selected tab from top to bottom, each with its label, state
// and texts. The program's settings window describes itself this way so that
// the simulator can draw it, and a person or a test can read every control
// without a Mac; on macOS the same controls are real views.

#include <string>
#include <variant>
#include <vector>

#include "base/geometry.h"

namespace vistarail {

enum class FormControlKind {
  header,         // label; detail at the trailing edge, in `tone`
  sectionHeader,  // label
  paragraph,      // label is the text, in `tone`
  toggle,         // label, isOn, detail as a secondary line
  slider,         // label, value within minimum...maximum, valueText
  picker,         // label, options, selected (-1: none), valueText when none
  menu,           // a pull-down button titled label; options are its items
  button,         // label, help
  textField,      // label is the placeholder, detail the text typed
  tile,           // label ("45%"), isOn, value (the width), help
  shortcutRow,    // label (the action), keys, detail while recording
  checkRow,       // label, detail, symbol in `tone`, actionTitle (a button)
  appRow,         // label (the name), detail (the identifier), symbol or an icon
  valueRow,       // label, valueText
};

enum class FormTone { primary, secondary, caption, success, warning, info, error };

struct FormControl {
  FormControlKind kind = FormControlKind::paragraph;
  std::string id;  // stable and unique within the window
  std::string label;
  std::string detail;
  std::string help;
  FormTone tone = FormTone::primary;
  bool isOn = false;
  bool enabled = true;
  double value = 0;
  double minimum = 0;
  double maximum = 1;
  double step = 0;
  std::string valueText;
  std::vector<std::string> options;
  int selected = -1;
  std::vector<std::string> keys;
  std::string symbol;
  std::string actionTitle;
  friend bool operator==(const FormControl&, const FormControl&) = default;
};

struct FormTab {
  std::string label;
  std::string symbol;
  friend bool operator==(const FormTab&, const FormTab&) = default;
};

// What operating a control hands to it: a toggle a bool, a slider a number,
// a picker or a menu the index of an option (a shortcut row the index of
// the shortcut clicked), a text field its text, and a button, a tile, a row's
// button or a Return in a text field nothing.
using FormInput = std::variant<std::monostate, bool, double, int, std::string>;

struct FormWindow {
  std::string title;
  Size contentSize;
  std::vector<FormTab> tabs;
  int selectedTab = 0;
  std::vector<FormControl> controls;
  friend bool operator==(const FormWindow&, const FormWindow&) = default;
};

}  // namespace vistarail
