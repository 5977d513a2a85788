#include "platform/x11/x_connection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <mutex>

namespace vistarail::x11 {

namespace {

thread_local int tTrapDepth = 0;
thread_local int tFirstError = 0;

int onXError(Display* display, XErrorEvent* event) {
  if (tTrapDepth > 0) {
    if (tFirstError == 0) tFirstError = event->error_code;
    return 0;
  }
  // An error nobody waits for (an asynchronous request to a window that went
  // away meanwhile) is normal on a live desktop: say it, never end for it.
  char text[128] = {};
  XGetErrorText(display, event->error_code, text, sizeof text);
  std::fprintf(stderr, "vistarail-x11: X error %s (request %d.%d) on 0x%lx\n", text,
               event->request_code, event->minor_code, event->resourceid);
  return 0;
}

int onIOError(Display*) {
  std::fprintf(stderr, "vistarail-x11: lost the connection to the X server\n");
  std::_Exit(1);
}

}  // namespace

void Atoms::intern(Display* d) {
  const char* names[] = {"_NET_SUPPORTED",
                         "_NET_CLIENT_LIST",
                         "_NET_CLIENT_LIST_STACKING",
                         "_NET_ACTIVE_WINDOW",
                         "_NET_WM_NAME",
                         "_NET_WM_PID",
                         "_NET_WM_WINDOW_TYPE",
                         "_NET_WM_STATE",
                         "_NET_WM_STATE_HIDDEN",
                         "_NET_WM_STATE_FULLSCREEN",
                         "_NET_WM_STATE_MODAL",
                         "_NET_WM_STATE_MAXIMIZED_VERT",
                         "_NET_WM_STATE_MAXIMIZED_HORZ",
                         "_NET_FRAME_EXTENTS",
                         "_NET_MOVERESIZE_WINDOW",
                         "_NET_WM_DESKTOP",
                         "_NET_CURRENT_DESKTOP",
                         "_NET_NUMBER_OF_DESKTOPS",
                         "_NET_WM_STRUT",
                         "_NET_WM_STRUT_PARTIAL",
                         "_NET_CLOSE_WINDOW",
                         "_NET_RESTACK_WINDOW",
                         "WM_STATE",
                         "WM_CLIENT_LEADER",
                         "WM_CHANGE_STATE",
                         "WM_PROTOCOLS",
                         "UTF8_STRING"};
  constexpr size_t count = sizeof names / sizeof names[0];
  Atom values[count] = {};
  XInternAtoms(d, const_cast<char**>(names), count, False, values);
  Atom* fields[] = {&netSupported,
                    &netClientList,
                    &netClientListStacking,
                    &netActiveWindow,
                    &netWmName,
                    &netWmPid,
                    &netWmWindowType,
                    &netWmState,
                    &netWmStateHidden,
                    &netWmStateFullscreen,
                    &netWmStateModal,
                    &netWmStateMaximizedVert,
                    &netWmStateMaximizedHorz,
                    &netFrameExtents,
                    &netMoveResizeWindow,
                    &netWmDesktop,
                    &netCurrentDesktop,
                    &netNumberOfDesktops,
                    &netWmStrut,
                    &netWmStrutPartial,
                    &netCloseWindow,
                    &netRestackWindow,
                    &wmState,
                    &wmClientLeader,
                    &wmChangeState,
                    &wmProtocols,
                    &utf8String};
  static_assert(sizeof fields / sizeof fields[0] == count);
  for (size_t i = 0; i < count; ++i) *fields[i] = values[i];
}

// Every connection opened for a thread, so that the server object can close
// those still open and count requests.
struct XServer::Connections {
  std::mutex mutex;
  std::string name;
  std::vector<Display*> open;
  uint64_t closedRequests = 0;

  void close(Display* d) {
    std::lock_guard lock(mutex);
    const auto it = std::find(open.begin(), open.end(), d);
    if (it == open.end()) return;  // the server object closed it already
    open.erase(it);
    closedRequests += NextRequest(d) - 1;
    XCloseDisplay(d);
  }
};

namespace {

// The calling thread's connection, closed when the thread ends.
struct ThreadConnection {
  std::weak_ptr<void> owner;
  Display* display = nullptr;
  std::function<void(Display*)> close;
  ~ThreadConnection() {
    if (display && !owner.expired() && close) close(display);
  }
};
thread_local ThreadConnection tConnection;

}  // namespace

std::unique_ptr<XServer> XServer::open(const std::string& displayName) {
  static std::once_flag once;
  std::call_once(once, [] {
    XInitThreads();
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onIOError);
  });
  Display* d = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
  if (!d) return nullptr;
  return std::unique_ptr<XServer>(new XServer(d, DisplayString(d)));
}

XServer::XServer(Display* events, std::string name)
    : events_(events),
      name_(std::move(name)),
      root_(DefaultRootWindow(events)),
      connections_(std::make_shared<Connections>()) {
  connections_->name = name_;
  atoms_.intern(events_);
  if (auto atoms = readAtoms(events_, root_, atoms_.netSupported)) supported_ = *atoms;
}

XServer::~XServer() {
  std::lock_guard lock(connections_->mutex);
  for (Display* d : connections_->open) XCloseDisplay(d);
  connections_->open.clear();
  XCloseDisplay(events_);
}

Display* XServer::connection() {
  if (tConnection.display && !tConnection.owner.expired() &&
      tConnection.owner.lock().get() == connections_.get()) {
    return tConnection.display;
  }
  Display* d = XOpenDisplay(name_.c_str());
  if (!d) return events_;  // cannot happen while the event connection lives
  {
    std::lock_guard lock(connections_->mutex);
    connections_->open.push_back(d);
  }
  tConnection.owner = connections_;
  tConnection.display = d;
  std::weak_ptr<Connections> weak = connections_;
  tConnection.close = [weak](Display* display) {
    if (auto c = weak.lock()) c->close(display);
  };
  return d;
}

bool XServer::supports(Atom hint) const {
  return std::find(supported_.begin(), supported_.end(), hint) != supported_.end();
}

uint64_t XServer::requestCount() const {
  std::lock_guard lock(connections_->mutex);
  uint64_t total = connections_->closedRequests + NextRequest(events_) - 1;
  for (Display* d : connections_->open) total += NextRequest(d) - 1;
  return total;
}

ErrorTrap::ErrorTrap(Display* display) : display_(display), saved_(tFirstError) {
  ++tTrapDepth;
  tFirstError = 0;
}

ErrorTrap::~ErrorTrap() {
  --tTrapDepth;
  if (tTrapDepth > 0 && saved_ != 0) tFirstError = saved_;
}

int ErrorTrap::error() {
  XSync(display_, False);
  return tFirstError;
}

int ErrorTrap::errorSoFar() const {
  return tFirstError;
}

namespace {

struct PropertyData {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned char* data = nullptr;
  ~PropertyData() {
    if (data) XFree(data);
  }
};

bool readProperty(Display* d, Window w, Atom property, Atom type, PropertyData& out) {
  unsigned long after = 0;
  ErrorTrap trap(d);
  const int status = XGetWindowProperty(d, w, property, 0, 1 << 16, False, type, &out.type,
                                        &out.format, &out.count, &after, &out.data);
  return status == Success && trap.errorSoFar() == 0 && out.type != None && out.data;
}

}  // namespace

double traceClock() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool tracing() {
  static const bool on = std::getenv("VISTARAIL_X11_TRACE") != nullptr;
  return on;
}

std::optional<std::vector<long>> readCardinals(Display* d, Window w, Atom property, Atom type) {
  PropertyData p;
  if (!readProperty(d, w, property, type, p) || p.format != 32) return std::nullopt;
  const long* values = reinterpret_cast<const long*>(p.data);  // Xlib widens to long
  return std::vector<long>(values, values + p.count);
}

std::optional<std::vector<Atom>> readAtoms(Display* d, Window w, Atom property) {
  auto values = readCardinals(d, w, property, XA_ATOM);
  if (!values) return std::nullopt;
  return std::vector<Atom>(values->begin(), values->end());
}

std::optional<Window> readWindow(Display* d, Window w, Atom property) {
  auto values = readCardinals(d, w, property, XA_WINDOW);
  if (!values || values->empty()) return std::nullopt;
  return static_cast<Window>(values->front());
}

std::optional<std::vector<Window>> readWindows(Display* d, Window w, Atom property) {
  auto values = readCardinals(d, w, property, XA_WINDOW);
  if (!values) return std::nullopt;
  return std::vector<Window>(values->begin(), values->end());
}

std::optional<std::string> readString(Display* d, Window w, Atom property, Atom type) {
  PropertyData p;
  if (!readProperty(d, w, property, type, p) || p.format != 8) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(p.data), p.count);
}

std::string atomName(Display* d, Atom atom) {
  ErrorTrap trap(d);
  char* name = XGetAtomName(d, atom);
  if (!name) return {};
  std::string result(name);
  XFree(name);
  return result;
}

void sendRootMessage(Display* d, Window root, Window window, Atom type, long a0, long a1, long a2,
                     long a3, long a4) {
  XEvent event;
  std::memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = a0;
  event.xclient.data.l[1] = a1;
  event.xclient.data.l[2] = a2;
  event.xclient.data.l[3] = a3;
  event.xclient.data.l[4] = a4;
  XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace vistarail::x11
