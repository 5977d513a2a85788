#include "platform/x11/window_roles.h"

#include <gtest/gtest.h>

#include "platform/ax_names.h"

namespace vistarail::x11 {
namespace {

struct RoleCase {
  std::vector<std::string> types;
  bool transient;
  bool modal;
  const char* subrole;
  bool listed;
};

TEST(WindowRoles, TypesTransienceAndModalityGiveTheMacSubrole) {
  const RoleCase cases[] = {
      // No type: ICCCM's rule, a transient window is a dialog.
      {{}, false, false, ax::kStandardWindowSubrole, true},
      {{}, true, false, ax::kDialogSubrole, true},
      {{"_NET_WM_WINDOW_TYPE_NORMAL"}, false, false, ax::kStandardWindowSubrole, true},
      // Toolkits type their dialogs "normal" and say transient or modal.
      {{"_NET_WM_WINDOW_TYPE_NORMAL"}, true, false, ax::kDialogSubrole, true},
      {{"_NET_WM_WINDOW_TYPE_NORMAL"}, false, true, ax::kDialogSubrole, true},
      {{"_NET_WM_WINDOW_TYPE_DIALOG"}, false, false, ax::kDialogSubrole, true},
      {{"_NET_WM_WINDOW_TYPE_UTILITY"}, false, false, ax::kFloatingWindowSubrole, true},
      {{"_NET_WM_WINDOW_TYPE_TOOLBAR"}, true, false, ax::kFloatingWindowSubrole, true},
      {{"_NET_WM_WINDOW_TYPE_SPLASH"}, false, false, ax::kSystemDialogSubrole, true},
      // The window manager's and toolkits' furniture is no one's window.
      {{"_NET_WM_WINDOW_TYPE_DOCK"}, false, false, ax::kSystemDialogSubrole, false},
      {{"_NET_WM_WINDOW_TYPE_DESKTOP"}, false, false, ax::kSystemDialogSubrole, false},
      {{"_NET_WM_WINDOW_TYPE_NOTIFICATION"}, false, false, ax::kSystemDialogSubrole, false},
      {{"_NET_WM_WINDOW_TYPE_TOOLTIP"}, false, false, ax::kSystemDialogSubrole, false},
      // The first type this side knows wins; unknown ones are skipped.
      {{"_KDE_NET_WM_WINDOW_TYPE_OVERRIDE", "_NET_WM_WINDOW_TYPE_NORMAL"},
       false,
       false,
       ax::kStandardWindowSubrole,
       true},
      {{"_NET_WM_WINDOW_TYPE_DIALOG", "_NET_WM_WINDOW_TYPE_NORMAL"},
       false,
       false,
       ax::kDialogSubrole,
       true},
      // Only unknown types: as if there were none.
      {{"_ACME_WINDOW_TYPE_PALETTE"}, false, false, ax::kStandardWindowSubrole, true},
      {{"_ACME_WINDOW_TYPE_PALETTE"}, true, false, ax::kDialogSubrole, true},
      // A prefix alone is no type.
      {{"_NET_WM_WINDOW_TYPE_"}, false, false, ax::kStandardWindowSubrole, true},
  };
  for (const RoleCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.types) + (c.transient ? " transient" : "") +
                 (c.modal ? " modal" : ""));
    const WindowRole role = roleOf({c.types, c.transient, c.modal});
    EXPECT_EQ(role.role, ax::kWindowRole);
    EXPECT_EQ(role.subrole, c.subrole);
    EXPECT_EQ(role.listed, c.listed);
  }
}

}  // namespace
}  // namespace vistarail::x11
