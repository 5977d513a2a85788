#pragma once
// What the X server knows of the desktop, kept for every adapter: the client
// windows the window manager lists (with their process, class and kind), the
// stacking order, the active window, the current desktop and the displays.
// The event pump refreshes it on the main queue when the server says it
// changed; any queue may read it. Attributes that change often (frames,
// titles, states) are not kept here: the accessibility adapter reads those
// from the server on each call.

#include <X11/Xlib.h>

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/ids.h"
#include "platform/x11/monitor_layout.h"
#include "platform/x11/x_connection.h"

namespace vistarail::x11 {

// Clients without _NET_WM_PID are grouped by their client leader (else by
// themselves) under a made-up process id above any the kernel hands out.
inline constexpr Pid kLeaderPidBase = 0x40000000;
Pid leaderPid(Window leader);

struct ClientRecord {
  Window window = None;
  Window frame = None;  // the window manager's parent at the root, or the client
  Pid pid = 0;
  std::string appName;    // WM_CLASS class, else instance, else the title
  std::string className;  // WM_CLASS class
  bool listed = true;     // a window a person arranges (not a dock, menu, ...)
};

// A client's record as the server has it now; absent when it is gone.
std::optional<ClientRecord> readClientRecord(Display* d, const XServer& server, Window w);
// The window manager's frame of a client: its ancestor that is a child of
// the root (the client itself when no window manager reparents).
Window topLevelOf(Display* d, Window root, Window w);

class XDesktop {
 public:
  explicit XDesktop(XServer& server) : server_(server) {}

  // --- Reading, from any queue.
  std::vector<ClientRecord> clients() const;  // listed and not, in client-list order
  std::optional<ClientRecord> client(Window w) const;
  std::vector<ClientRecord> clientsOf(Pid pid) const;  // listed, front to back
  std::vector<Window> stackingFrontToBack() const;
  Window activeWindow() const;
  long currentDesktop() const;
  std::vector<DisplayRecord> displays() const;
  RootSpace space() const;

  // --- Refreshing, on the main queue with the event connection.
  struct ClientChanges {
    std::vector<ClientRecord> added;
    std::vector<ClientRecord> removed;
  };
  ClientChanges refreshClients();
  // Returns the previous active window when it changed.
  std::optional<Window> refreshActive();
  bool refreshDesktop();
  // Whether the displays changed.
  bool refreshDisplays();

 private:
  XServer& server_;
  mutable std::mutex mutex_;
  std::map<Window, ClientRecord> clients_;
  std::vector<Window> order_;     // client list
  std::vector<Window> stacking_;  // front first
  Window active_ = None;
  long desktop_ = 0;
  std::vector<DisplayRecord> displays_;
  RootSpace space_;
};

}  // namespace vistarail::x11
