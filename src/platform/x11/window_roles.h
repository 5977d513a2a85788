#pragma once
// What an X11 top-level window is to the accessibility port: the role and
// subrole a Mac window of the same kind reports, from the EWMH window type,
// the ICCCM transient-for hint and the modal state. Pure: the atom names are
// read by the caller.

#include <optional>
#include <string>
#include <vector>

namespace vistarail::x11 {

struct WindowKindFacts {
  // _NET_WM_WINDOW_TYPE, most preferred first, as atom names; may be empty.
  std::vector<std::string> types;
  bool isTransient = false;  // WM_TRANSIENT_FOR names another window
  bool isModal = false;      // _NET_WM_STATE_MODAL
};

struct WindowRole {
  std::string role;
  std::string subrole;
  // Whether the window belongs in an application's window list at all: docks,
  // desktops, menus, tooltips and notifications are the window manager's or
  // the toolkit's furniture, not windows a person arranges.
  bool listed = true;
  friend bool operator==(const WindowRole&, const WindowRole&) = default;
};

WindowRole roleOf(const WindowKindFacts& facts);

}  // namespace vistarail::x11
