#pragma once
// Reads the X server's events on the main queue and turns them into what the
// ports promise: accessibility notifications (created, destroyed, moved,
// resized, title changed, minimised, focused window changed), workspace
// notifications (launched, terminated, activated, Space changed), screen
// changes and hot-key presses.
//
// Structure and configure events of the clients and of the window manager's
// frames around them say a frame changed; property events on the root say
// the client list, the active window or the desktop changed; RandR events
// (and a slow poll, since not every server tells of monitor changes) say the
// displays did.

#include <X11/Xlib.h>

#include <functional>
#include <map>
#include <memory>

#include "platform/dispatch.h"
#include "platform/x11/x_accessibility.h"
#include "platform/x11/x_connection.h"
#include "platform/x11/x_desktop.h"
#include "platform/x11/x_workspace.h"

namespace vistarail::x11 {

class XEventPump {
 public:
  using KeyHandler = std::function<void(const XKeyEvent&)>;

  XEventPump(XServer& server, XDesktop& desktop, XAccessibility& ax, XWorkspace& workspace,
             Dispatch& dispatch);
  ~XEventPump();
  XEventPump(const XEventPump&) = delete;
  XEventPump& operator=(const XEventPump&) = delete;

  // Reads the desktop once and starts watching; call on the main queue.
  void start();
  void setKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }
  // Handles every event already received, then what that reading brought.
  void pump();
  // Events handled so far (for measurements).
  uint64_t eventCount() const { return events_; }

 private:
  struct Watched {
    Pid pid = 0;
    Window frame = None;
    Rect lastFrame;
    bool minimized = false;
  };

  void handle(const XEvent& event);
  void watch(const ClientRecord& client);
  void refreshFrame(Window client);
  void applyClientChanges();
  void applyActiveChange();
  bool minimizedNow(Window w);

  XServer& server_;
  XDesktop& desktop_;
  XAccessibility& ax_;
  XWorkspace& workspace_;
  Dispatch& dispatch_;
  KeyHandler keyHandler_;
  int randrEvent_ = -1;
  uint64_t events_ = 0;
  std::map<Window, Watched> watched_;     // by client
  std::map<Window, Window> frameClient_;  // frame -> client
  bool clientsDirty_ = false, activeDirty_ = false, desktopDirty_ = false, displaysDirty_ = false;
  std::map<Window, bool> framesDirty_;
  DescriptorWatchRef watch_;
  RepeatingTimerRef displayPoll_;
};

}  // namespace vistarail::x11
