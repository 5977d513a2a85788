#include "platform/x11/window_roles.h"

#include "platform/ax_names.h"

namespace vistarail::x11 {

namespace {

enum class Kind { normal, dialog, floating, systemDialog, furniture, unknown };

Kind kindOfType(const std::string& type) {
  static constexpr const char* kPrefix = "_NET_WM_WINDOW_TYPE_";
  if (type.rfind(kPrefix, 0) != 0) return Kind::unknown;
  const std::string name = type.substr(std::char_traits<char>::length(kPrefix));
  if (name == "NORMAL") return Kind::normal;
  if (name == "DIALOG") return Kind::dialog;
  if (name == "UTILITY" || name == "TOOLBAR" || name == "MENU") return Kind::floating;
  if (name == "SPLASH") return Kind::systemDialog;
  if (name == "DOCK" || name == "DESKTOP" || name == "DROPDOWN_MENU" || name == "POPUP_MENU" ||
      name == "TOOLTIP" || name == "NOTIFICATION" || name == "COMBO" || name == "DND") {
    return Kind::furniture;
  }
  return Kind::unknown;  // a type of a later standard or a toolkit's own
}

}  // namespace

WindowRole roleOf(const WindowKindFacts& facts) {
  // The first type this side knows wins, as the standard asks of window
  // managers; without one, ICCCM's rule: a transient window is a dialog.
  Kind kind = Kind::unknown;
  for (const std::string& type : facts.types) {
    kind = kindOfType(type);
    if (kind != Kind::unknown) break;
  }
  if (kind == Kind::unknown) kind = facts.isTransient ? Kind::dialog : Kind::normal;
  // A "normal" window that is transient for another or modal is a dialog in
  // all but name (many toolkits type their dialogs so).
  if (kind == Kind::normal && (facts.isTransient || facts.isModal)) kind = Kind::dialog;

  switch (kind) {
    case Kind::normal:
      return {ax::kWindowRole, ax::kStandardWindowSubrole, true};
    case Kind::dialog:
      return {ax::kWindowRole, ax::kDialogSubrole, true};
    case Kind::floating:
      return {ax::kWindowRole, ax::kFloatingWindowSubrole, true};
    case Kind::systemDialog:
      return {ax::kWindowRole, ax::kSystemDialogSubrole, true};
    case Kind::furniture:
    case Kind::unknown:
      break;
  }
  return {ax::kWindowRole, ax::kSystemDialogSubrole, false};
}

}  // namespace vistarail::x11
