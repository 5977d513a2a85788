#pragma once
// The Rules tab: the applications whose windows always float. Entries are
// added from the running applications or typed as a bundle identifier, and
// removed with every occurrence, so a list edited by hand into duplicates
// comes clean with one click.

#include <string>
#include <vector>

#include "settings_ui/controls.h"
#include "settings_ui/settings_context.h"

namespace vistarail {

struct RunningAppChoice {
  std::string bundleID;
  std::string name;
  friend bool operator==(const RunningAppChoice&, const RunningAppChoice&) = default;
};

class RulesTab {
 public:
  explicit RulesTab(SettingsContext& context) : context_(context) {}

  Controls controls();

  // Regular running applications with an identifier not yet in the list,
  // by name.
  std::vector<RunningAppChoice> runningChoices() const;
  // Appends the identifier, trimmed of spaces and tabs, unless it is empty
  // or already listed; returns whether the list changed.
  bool add(const std::string& bundleID);
  void remove(const std::string& bundleID);

  // The text field: typing, and Add (or Return), which adds and clears it.
  void setFieldText(std::string text) { field_ = std::move(text); }
  const std::string& fieldText() const { return field_; }
  void submitField();

 private:
  SettingsContext& context_;
  std::string field_;
};

// The identifier without leading and trailing spaces and tabs.
std::string trimmedIdentifier(const std::string& text);

}  // namespace vistarail
