#include "platform/x11/x_event_pump.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include "platform/ax_names.h"
#include "platform/x11/frame_geometry.h"

namespace vistarail::x11 {

namespace {
// How often the monitors are read again in case the server did not say.
constexpr double kDisplayPollSeconds = 1.0;
}  // namespace

XEventPump::XEventPump(XServer& server, XDesktop& desktop, XAccessibility& ax,
                       XWorkspace& workspace, Dispatch& dispatch)
    : server_(server), desktop_(desktop), ax_(ax), workspace_(workspace), dispatch_(dispatch) {}

XEventPump::~XEventPump() {
  if (watch_) watch_->cancel();
  if (displayPoll_) displayPoll_->invalidate();
}

void XEventPump::start() {
  Display* d = server_.events();
  XSelectInput(d, server_.root(), PropertyChangeMask);
  int errorBase = 0;
  if (XRRQueryExtension(d, &randrEvent_, &errorBase)) {
    XRRSelectInput(d, server_.root(),
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
  } else {
    randrEvent_ = -1;
  }
  desktop_.refreshDisplays();
  desktop_.refreshClients();
  desktop_.refreshActive();
  desktop_.refreshDesktop();
  for (const ClientRecord& c : desktop_.clients()) watch(c);
  XFlush(d);
  watch_ = dispatch_.watchDescriptor(dispatch_.main(), ConnectionNumber(d),
                                     DescriptorEvent::readable, [this] { pump(); });
  displayPoll_ = dispatch_.scheduleRepeating(dispatch_.main(), kDisplayPollSeconds, [this] {
    displaysDirty_ = true;
    pump();
  });
}

void XEventPump::watch(const ClientRecord& client) {
  Display* d = server_.events();
  ErrorTrap trap(d);
  XSelectInput(d, client.window, StructureNotifyMask | PropertyChangeMask);
  if (client.frame != client.window) XSelectInput(d, client.frame, StructureNotifyMask);
  Watched w;
  w.pid = client.pid;
  w.frame = client.frame;
  w.minimized = minimizedNow(client.window);
  watched_[client.window] = w;
  frameClient_[client.frame] = client.window;
  refreshFrame(client.window);
}

bool XEventPump::minimizedNow(Window w) {
  Display* d = server_.events();
  const Atoms& a = server_.atoms();
  if (auto states = readAtoms(d, w, a.netWmState)) {
    if (std::find(states->begin(), states->end(), a.netWmStateHidden) != states->end()) {
      return true;
    }
  }
  const auto state = readCardinals(d, w, a.wmState, a.wmState);
  return state && !state->empty() && state->front() == IconicState;
}

void XEventPump::pump() {
  Display* d = server_.events();
  // Reading properties below may bring more events in; go round until quiet.
  for (int round = 0; round < 8; ++round) {
    while (XPending(d) > 0) {
      XEvent event;
      XNextEvent(d, &event);
      ++events_;
      handle(event);
    }
    const bool any =
        clientsDirty_ || activeDirty_ || desktopDirty_ || displaysDirty_ || !framesDirty_.empty();
    if (!any) break;
    if (displaysDirty_) {
      displaysDirty_ = false;
      if (desktop_.refreshDisplays()) workspace_.screensChanged();
    }
    if (clientsDirty_) {
      clientsDirty_ = false;
      applyClientChanges();
    }
    if (activeDirty_) {
      activeDirty_ = false;
      applyActiveChange();
    }
    if (desktopDirty_) {
      desktopDirty_ = false;
      if (desktop_.refreshDesktop()) {
        workspace_.post(WorkspaceEvent::activeSpaceDidChange, std::nullopt);
      }
    }
    auto frames = std::move(framesDirty_);
    framesDirty_.clear();
    for (const auto& [client, _] : frames) refreshFrame(client);
  }
  XFlush(d);
}

void XEventPump::handle(const XEvent& event) {
  const Atoms& a = server_.atoms();
  if (randrEvent_ >= 0 &&
      (event.type == randrEvent_ + RRScreenChangeNotify || event.type == randrEvent_ + RRNotify)) {
    XRRUpdateConfiguration(const_cast<XEvent*>(&event));
    displaysDirty_ = true;
    return;
  }
  switch (event.type) {
    case KeyPress:
      if (keyHandler_) keyHandler_(event.xkey);
      return;
    case PropertyNotify: {
      const XPropertyEvent& p = event.xproperty;
      if (p.window == server_.root()) {
        if (p.atom == a.netClientList || p.atom == a.netClientListStacking) clientsDirty_ = true;
        if (p.atom == a.netActiveWindow) activeDirty_ = true;
        if (p.atom == a.netCurrentDesktop) desktopDirty_ = true;
        return;
      }
      const auto it = watched_.find(p.window);
      if (it == watched_.end()) return;
      const AXElement window = ax_.windowElement(it->second.pid, p.window);
      if (p.atom == XA_WM_NAME || p.atom == a.netWmName) {
        ax_.deliver(window, window, ax::kTitleChanged);
      } else if (p.atom == a.netWmState || p.atom == a.wmState) {
        const bool minimized = minimizedNow(p.window);
        if (minimized != it->second.minimized) {
          it->second.minimized = minimized;
          ax_.deliver(window, window,
                      minimized ? ax::kWindowMiniaturized : ax::kWindowDeminiaturized);
        }
      } else if (p.atom == a.netFrameExtents) {
        framesDirty_[p.window] = true;
      } else if (p.atom == a.netWmStrutPartial || p.atom == a.netWmStrut) {
        displaysDirty_ = true;
      }
      return;
    }
    case ConfigureNotify: {
      const Window w = event.xconfigure.window;
      if (watched_.count(w)) {
        framesDirty_[w] = true;
      } else if (auto it = frameClient_.find(w); it != frameClient_.end()) {
        framesDirty_[it->second] = true;
      }
      return;
    }
    case ReparentNotify: {
      const Window w = event.xreparent.window;
      if (auto it = watched_.find(w); it != watched_.end()) {
        frameClient_.erase(it->second.frame);
        it->second.frame = topLevelOf(server_.events(), server_.root(), w);
        frameClient_[it->second.frame] = w;
        if (it->second.frame != w) {
          XSelectInput(server_.events(), it->second.frame, StructureNotifyMask);
        }
        framesDirty_[w] = true;
      }
      return;
    }
    case DestroyNotify:
      if (watched_.count(event.xdestroywindow.window)) clientsDirty_ = true;
      return;
    default:
      return;
  }
}

void XEventPump::refreshFrame(Window client) {
  const auto it = watched_.find(client);
  if (it == watched_.end()) return;
  Display* d = server_.events();
  Window child = None;
  int x = 0, y = 0;
  XWindowAttributes attributes;
  {
    ErrorTrap trap(d);
    if (!XGetWindowAttributes(d, client, &attributes) ||
        !XTranslateCoordinates(d, client, server_.root(), 0, 0, &x, &y, &child) ||
        trap.errorSoFar()) {
      return;  // gone: the client list will say so
    }
  }
  const FrameExtents extents = extentsFromProperty(
      readCardinals(d, client, server_.atoms().netFrameExtents).value_or(std::vector<long>{}));
  const Rect frame = frameOfClient(Rect(x, y, attributes.width, attributes.height), extents);
  const Rect last = it->second.lastFrame;
  it->second.lastFrame = frame;
  if (last.isEmpty() && last.origin == Point{}) return;  // first reading
  const AXElement window = ax_.windowElement(it->second.pid, client);
  if (frame.origin != last.origin) ax_.deliver(window, window, ax::kWindowMoved);
  if (frame.size != last.size) ax_.deliver(window, window, ax::kWindowResized);
}

void XEventPump::applyClientChanges() {
  const XDesktop::ClientChanges changes = desktop_.refreshClients();
  const auto hasListed = [&](Pid pid) { return !desktop_.clientsOf(pid).empty(); };
  for (const ClientRecord& c : changes.removed) {
    if (auto it = watched_.find(c.window); it != watched_.end()) {
      frameClient_.erase(it->second.frame);
      watched_.erase(it);
    }
    if (!c.listed) continue;
    const AXElement window = ax_.windowElement(c.pid, c.window);
    ax_.deliver(window, window, ax::kUIElementDestroyed);
    if (!hasListed(c.pid)) {
      RunningApplication app;
      app.pid = c.pid;
      app.localizedName = c.appName;
      app.bundleIdentifier = c.className;
      app.isTerminated = true;
      workspace_.post(WorkspaceEvent::didTerminateApplication, app);
    }
  }
  for (const ClientRecord& c : changes.added) {
    watch(c);
    if (!c.listed) continue;
    // The first window of a process is its launch, as far as X can tell.
    const auto windows = desktop_.clientsOf(c.pid);
    if (windows.size() == 1 && windows.front().window == c.window) {
      workspace_.post(WorkspaceEvent::didLaunchApplication, workspace_.application(c.pid));
    }
    ax_.deliver(ax_.applicationElement(c.pid), ax_.windowElement(c.pid, c.window),
                ax::kWindowCreated);
  }
  if (!changes.added.empty() || !changes.removed.empty()) displaysDirty_ = true;  // struts
}

void XEventPump::applyActiveChange() {
  const auto previous = desktop_.refreshActive();
  if (!previous) return;
  const auto now = desktop_.client(desktop_.activeWindow());
  const auto before = desktop_.client(*previous);
  if (!now || !now->listed) return;
  const AXElement app = ax_.applicationElement(now->pid);
  const AXElement window = ax_.windowElement(now->pid, now->window);
  if (!before || before->pid != now->pid) {
    workspace_.post(WorkspaceEvent::didActivateApplication, workspace_.application(now->pid));
  }
  ax_.deliver(app, window, ax::kFocusedWindowChanged);
  ax_.deliver(app, window, ax::kMainWindowChanged);
}

}  // namespace vistarail::x11
