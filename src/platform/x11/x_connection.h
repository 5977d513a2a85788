#pragma once
// Connections to the X server. Every queue talks to the server over a
// connection of its own (each serial queue runs on a thread of its own, so a
// connection per thread is a connection per queue): a client slow to answer
// or a long read holds up nobody else's requests, and the errors a call meets
// come back to the thread that made it. Events arrive on one more connection,
// read by the main queue alone (XEventPump).

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vistarail::x11 {

// Atoms the adapters use, interned once (atoms are the server's, valid on
// every connection).
struct Atoms {
  Atom netSupported, netClientList, netClientListStacking, netActiveWindow, netWmName, netWmPid,
      netWmWindowType, netWmState, netWmStateHidden, netWmStateFullscreen, netWmStateModal,
      netWmStateMaximizedVert, netWmStateMaximizedHorz, netFrameExtents, netMoveResizeWindow,
      netWmDesktop, netCurrentDesktop, netNumberOfDesktops, netWmStrut, netWmStrutPartial,
      netCloseWindow, netRestackWindow, wmState, wmClientLeader, wmChangeState, wmProtocols,
      utf8String;
  void intern(Display* display);
};

class XServer {
 public:
  // Opens the event connection; absent when the display cannot be opened.
  static std::unique_ptr<XServer> open(const std::string& displayName);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // The connection of the calling thread, opened on first use and closed when
  // the thread ends (or the server object goes).
  Display* connection();
  // The connection the main queue reads events from.
  Display* events() const { return events_; }
  Window root() const { return root_; }
  const Atoms& atoms() const { return atoms_; }
  const std::string& displayName() const { return name_; }
  // Whether the window manager says it supports the hint.
  bool supports(Atom hint) const;
  // Requests sent over every connection so far (for measurements).
  uint64_t requestCount() const;

 private:
  explicit XServer(Display* events, std::string name);

  struct Connections;
  Display* events_;
  std::string name_;
  Window root_;
  Atoms atoms_{};
  std::vector<Atom> supported_;
  std::shared_ptr<Connections> connections_;
};

// Catches the X errors of the calls made on this thread while it lives;
// error() waits for the server's answers (one round trip) and returns the
// first error's code, or 0.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  int error();
  // The first error so far without a round trip (for calls with replies,
  // whose errors are in by the time they return).
  int errorSoFar() const;

 private:
  Display* display_;
  int saved_;
};

// Seconds of the monotonic clock, for the adapters' trace lines
// (VISTARAIL_X11_TRACE), which measurements line up with each other.
double traceClock();
bool tracing();

// Property reads; absent when the window has no such property of that format,
// or is gone.
std::optional<std::vector<long>> readCardinals(Display* d, Window w, Atom property,
                                               Atom type = AnyPropertyType);
std::optional<std::vector<Atom>> readAtoms(Display* d, Window w, Atom property);
std::optional<Window> readWindow(Display* d, Window w, Atom property);
std::optional<std::vector<Window>> readWindows(Display* d, Window w, Atom property);
std::optional<std::string> readString(Display* d, Window w, Atom property, Atom type);
std::string atomName(Display* d, Atom atom);

// Sends a client message to the root window, as EWMH asks of pagers and
// other programs that ask the window manager for something.
void sendRootMessage(Display* d, Window root, Window window, Atom type, long a0, long a1 = 0,
                     long a2 = 0, long a3 = 0, long a4 = 0);

}  // namespace vistarail::x11
