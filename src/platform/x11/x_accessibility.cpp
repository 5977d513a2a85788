#include "platform/x11/x_accessibility.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/ax_names.h"
#include "platform/x11/frame_geometry.h"
#include "platform/x11/window_roles.h"
#include "platform/x11/x_errors.h"

namespace vistarail::x11 {

const XElement* xElement(const AXElement& element) {
  return dynamic_cast<const XElement*>(element.impl());
}

namespace {

template <class T>
AXResult<AXValue> ok(T value) {
  return AXResult<AXValue>::ok(AXValue(std::move(value)));
}
AXResult<AXValue> fail(AXError error) {
  return AXResult<AXValue>::fail(error);
}

bool processExists(Pid pid) {
  if (pid >= kLeaderPidBase) return false;
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

// The client's decorated frame, root coordinates; absent when it is gone.
struct Geometry {
  Rect client;
  FrameExtents extents;
  Rect frame() const { return frameOfClient(client, extents); }
};

std::optional<Geometry> readGeometry(Display* d, const XServer& server, Window w) {
  ErrorTrap trap(d);
  Window root = None, child = None;
  int x = 0, y = 0, absX = 0, absY = 0;
  unsigned int width = 0, height = 0, border = 0, depth = 0;
  if (!XGetGeometry(d, w, &root, &x, &y, &width, &height, &border, &depth)) return std::nullopt;
  if (!XTranslateCoordinates(d, w, server.root(), 0, 0, &absX, &absY, &child)) {
    return std::nullopt;
  }
  if (trap.errorSoFar()) return std::nullopt;
  Geometry g;
  g.client = Rect(absX, absY, width, height);
  g.extents = extentsFromProperty(
      readCardinals(d, w, server.atoms().netFrameExtents).value_or(std::vector<long>{}));
  return g;
}

bool hasState(Display* d, const XServer& server, Window w, Atom state) {
  const auto states = readAtoms(d, w, server.atoms().netWmState);
  return states && std::find(states->begin(), states->end(), state) != states->end();
}

bool isMinimized(Display* d, const XServer& server, Window w) {
  if (hasState(d, server, w, server.atoms().netWmStateHidden)) return true;
  const auto state = readCardinals(d, w, server.atoms().wmState, server.atoms().wmState);
  return state && !state->empty() && state->front() == IconicState;
}

std::optional<std::string> titleOf(Display* d, const XServer& server, Window w) {
  if (auto name = readString(d, w, server.atoms().netWmName, server.atoms().utf8String)) {
    return name;
  }
  return readString(d, w, XA_WM_NAME, AnyPropertyType);
}

WindowRole roleOfWindow(Display* d, const XServer& server, Window w) {
  WindowKindFacts facts;
  if (auto types = readAtoms(d, w, server.atoms().netWmWindowType)) {
    for (Atom t : *types) facts.types.push_back(atomName(d, t));
  }
  Window transientFor = None;
  {
    ErrorTrap trap(d);
    facts.isTransient = XGetTransientForHint(d, w, &transientFor) && transientFor != None;
  }
  facts.isModal = hasState(d, server, w, server.atoms().netWmStateModal);
  return roleOf(facts);
}

}  // namespace

bool XElement::equals(const AXHandleImpl& other) const {
  const auto* o = dynamic_cast<const XElement*>(&other);
  return o && o->kind == kind && o->window == window && (window != None || o->pid == pid);
}

size_t XElement::hash() const {
  return std::hash<uint64_t>{}((static_cast<uint64_t>(kind) << 56) ^
                               (window != None ? window : static_cast<uint64_t>(pid)));
}

AXElement XAccessibility::applicationElement(Pid pid) {
  return AXElement(std::make_shared<XElement>(ElementKind::application, pid, None));
}

AXElement XAccessibility::systemWideElement() {
  return AXElement(std::make_shared<XElement>(ElementKind::systemWide, 0, None));
}

AXElement XAccessibility::windowElement(Pid pid, Window window) const {
  return AXElement(std::make_shared<XElement>(ElementKind::window, pid, window));
}

AXResult<AXValue> XAccessibility::copyAttributeValue(const AXElement& element,
                                                     std::string_view attribute) {
  const XElement* e = xElement(element);
  if (!e) return fail(AXError::illegalArgument);
  Display* d = server_.connection();
  switch (e->kind) {
    case ElementKind::window:
      return readWindow(d, *e, attribute);
    case ElementKind::application:
      return readApplication(d, *e, attribute);
    case ElementKind::button:
      if (attribute == ax::kRole) return ok(std::string(ax::kButtonRole));
      return fail(AXError::attributeUnsupported);
    case ElementKind::systemWide:
      if (attribute == ax::kRole) return ok(std::string(ax::kSystemWideRole));
      if (attribute == ax::kFocusedApplication) {
        const auto active = desktop_.client(desktop_.activeWindow());
        if (!active) return fail(AXError::noValue);
        return ok(applicationElement(active->pid));
      }
      return fail(AXError::attributeUnsupported);
  }
  return fail(AXError::failure);
}

std::vector<AXResult<AXValue>> XAccessibility::copyMultipleAttributeValues(
    const AXElement& element, const std::vector<std::string_view>& attributes) {
  std::vector<AXResult<AXValue>> results;
  results.reserve(attributes.size());
  for (std::string_view name : attributes) {
    results.push_back(copyAttributeValue(element, name));
    // A window gone fails the whole call, as one round trip would.
    if (results.back().error == AXError::invalidUIElement) {
      return std::vector<AXResult<AXValue>>(attributes.size(), results.back());
    }
  }
  return results;
}

AXResult<AXValue> XAccessibility::readWindow(Display* d, const XElement& e,
                                             std::string_view attribute) {
  const Window w = e.window;
  if (attribute == ax::kPosition || attribute == ax::kSize) {
    const auto g = readGeometry(d, server_, w);
    if (!g) return fail(AXError::invalidUIElement);
    const Rect frame = desktop_.space().toGlobal(g->frame());
    if (attribute == ax::kPosition) return ok(frame.origin);
    return ok(frame.size);
  }
  // Every other read starts by making sure the window is still there.
  XWindowAttributes attributes;
  {
    ErrorTrap trap(d);
    if (!XGetWindowAttributes(d, w, &attributes) || trap.errorSoFar()) {
      return fail(AXError::invalidUIElement);
    }
  }
  if (attribute == ax::kRole || attribute == ax::kSubrole) {
    const WindowRole role = roleOfWindow(d, server_, w);
    return ok(attribute == ax::kRole ? role.role : role.subrole);
  }
  if (attribute == ax::kTitle) return ok(titleOf(d, server_, w).value_or(""));
  if (attribute == ax::kModal) return ok(hasState(d, server_, w, server_.atoms().netWmStateModal));
  if (attribute == ax::kMinimized) return ok(isMinimized(d, server_, w));
  if (attribute == ax::kFullScreen) {
    return ok(hasState(d, server_, w, server_.atoms().netWmStateFullscreen));
  }
  if (attribute == ax::kMain || attribute == ax::kFocused) {
    return ok(desktop_.activeWindow() == w);
  }
  if (attribute == ax::kParent) return ok(applicationElement(e.pid));
  if (attribute == ax::kWindow) return ok(windowElement(e.pid, w));
  if (attribute == ax::kMinimizeButton || attribute == ax::kFullScreenButton) {
    // Every decorated standard window can be iconified and made full screen.
    if (roleOfWindow(d, server_, w).subrole != ax::kStandardWindowSubrole) {
      return fail(AXError::noValue);
    }
    return ok(AXElement(std::make_shared<XElement>(ElementKind::button, e.pid, w)));
  }
  if (attribute == ax::kDocument) return fail(AXError::noValue);
  return fail(AXError::attributeUnsupported);
}

AXResult<AXValue> XAccessibility::readApplication(Display*, const XElement& e,
                                                  std::string_view attribute) {
  const std::vector<ClientRecord> windows = desktop_.clientsOf(e.pid);
  if (windows.empty() && !processExists(e.pid)) return fail(AXError::cannotComplete);
  if (attribute == ax::kRole) return ok(std::string(ax::kApplicationRole));
  if (attribute == ax::kTitle) {
    return ok(windows.empty() ? std::string() : windows.front().appName);
  }
  if (attribute == ax::kWindows) {
    std::vector<AXElement> elements;
    for (const ClientRecord& c : windows) elements.push_back(windowElement(e.pid, c.window));
    return ok(std::move(elements));
  }
  const Window active = desktop_.activeWindow();
  const auto activeClient = desktop_.client(active);
  const bool frontmost = activeClient && activeClient->pid == e.pid;
  if (attribute == ax::kFocusedWindow || attribute == ax::kMainWindow) {
    if (!frontmost) {
      // The application's front window is its main window while it is in
      // the background, as on the Mac.
      if (windows.empty()) return fail(AXError::noValue);
      return ok(windowElement(e.pid, windows.front().window));
    }
    return ok(windowElement(e.pid, active));
  }
  if (attribute == ax::kFrontmost) return ok(frontmost);
  if (attribute == ax::kHidden) return ok(false);
  return fail(AXError::attributeUnsupported);
}

AXError XAccessibility::writeFrame(Display* d, const XElement& e, std::optional<Point> origin,
                                   std::optional<Size> size) {
  const auto g = readGeometry(d, server_, e.window);
  if (!g) return AXError::invalidUIElement;
  const RootSpace space = desktop_.space();
  Rect frame = g->frame();
  if (origin) frame.origin = space.toRoot(*origin);
  if (size) frame.size = *size;
  if (!(frame.width() >= 1 && frame.height() >= 1)) return AXError::illegalArgument;
  // A configure request, which every window manager reads by the client's
  // gravity (some mishandle the EWMH move-resize message's static gravity).
  // Only what the call changes is asked for: a size written right after a
  // position must not send the position read before the window manager
  // carried out the move.
  int gravity = NorthWestGravity;
  XSizeHints hints{};
  {
    long supplied = 0;
    ErrorTrap hintTrap(d);
    if (!XGetWMNormalHints(d, e.window, &hints, &supplied)) hints.flags = 0;
  }
  if (hints.flags & PWinGravity) gravity = hints.win_gravity;
  Rect client = clientForFrame(frame, g->extents);
  if (size) {
    // The client's own size limits hold even where the window manager would
    // not enforce them (some do not for other programs' requests): a window
    // of a fixed size keeps it, as a Mac application refuses a size.
    const auto limit = [](double v, bool hasMin, int min, bool hasMax, int max) {
      if (hasMax && max > 0) v = std::min(v, static_cast<double>(max));
      if (hasMin && min > 0) v = std::max(v, static_cast<double>(min));
      return v;
    };
    const bool hasMin = hints.flags & PMinSize, hasMax = hints.flags & PMaxSize;
    client.size = {limit(client.width(), hasMin, hints.min_width, hasMax, hints.max_width),
                   limit(client.height(), hasMin, hints.min_height, hasMax, hints.max_height)};
  }
  if (trace_) {
    std::fprintf(stderr,
                 "x11 write %.6f %llu 0x%lx frame %.0f,%.0f %.0fx%.0f client %.0f,%.0f %.0fx%.0f\n",
                 traceClock(), static_cast<unsigned long long>(server_.requestCount()), e.window,
                 frame.minX(), frame.minY(), frame.width(), frame.height(), client.minX(),
                 client.minY(), client.width(), client.height());
  }
  const auto rounded = [](double v) { return static_cast<long>(roundHalfAwayFromZero(v)); };
  ErrorTrap trap(d);
  XWindowChanges changes{};
  unsigned int mask = 0;
  if (origin) {
    const Point at = configureOriginFor(frame, client.size, g->extents, gravity);
    changes.x = static_cast<int>(rounded(at.x));
    changes.y = static_cast<int>(rounded(at.y));
    mask |= CWX | CWY;
  }
  if (size) {
    changes.width = static_cast<int>(rounded(client.width()));
    changes.height = static_cast<int>(rounded(client.height()));
    mask |= CWWidth | CWHeight;
  }
  XConfigureWindow(d, e.window, mask, &changes);
  XFlush(d);
  return axErrorFor(trap.errorSoFar());
}

void XAccessibility::activate(Display* d, Window w) {
  // Source 2 (a pager or similar acting for the user): window managers honour
  // it without the focus-stealing prevention applications meet.
  sendRootMessage(d, server_.root(), w, server_.atoms().netActiveWindow, 2, CurrentTime, 0);
  XFlush(d);
}

AXError XAccessibility::setAttributeValue(const AXElement& element, std::string_view attribute,
                                          const AXValue& value) {
  const XElement* e = xElement(element);
  if (!e) return AXError::illegalArgument;
  Display* d = server_.connection();
  if (e->kind == ElementKind::application) {
    if (attribute != ax::kFrontmost) return AXError::attributeUnsupported;
    const auto on = asBool(value);
    if (!on) return AXError::illegalArgument;
    const auto windows = desktop_.clientsOf(e->pid);
    if (windows.empty()) return AXError::cannotComplete;
    if (*on) activate(d, windows.front().window);
    return AXError::success;
  }
  if (e->kind != ElementKind::window) return AXError::attributeUnsupported;
  if (attribute == ax::kPosition) {
    const auto point = asPoint(value);
    if (!point) return AXError::illegalArgument;
    return writeFrame(d, *e, *point, std::nullopt);
  }
  if (attribute == ax::kSize) {
    const auto size = asSize(value);
    if (!size) return AXError::illegalArgument;
    return writeFrame(d, *e, std::nullopt, *size);
  }
  const auto on = asBool(value);
  if (!on) return AXError::illegalArgument;
  XWindowAttributes attributes;
  {
    ErrorTrap trap(d);
    if (!XGetWindowAttributes(d, e->window, &attributes) || trap.errorSoFar()) {
      return AXError::invalidUIElement;
    }
  }
  if (attribute == ax::kMain || attribute == ax::kFocused) {
    if (*on) activate(d, e->window);
    return AXError::success;
  }
  if (attribute == ax::kMinimized) {
    if (*on) {
      XIconifyWindow(d, e->window, DefaultScreen(d));
      XFlush(d);
    } else {
      activate(d, e->window);
    }
    return AXError::success;
  }
  if (attribute == ax::kFullScreen) {
    sendRootMessage(d, server_.root(), e->window, server_.atoms().netWmState, *on ? 1 : 0,
                    static_cast<long>(server_.atoms().netWmStateFullscreen), 0, 2);
    XFlush(d);
    return AXError::success;
  }
  return AXError::attributeUnsupported;
}

AXResult<bool> XAccessibility::isAttributeSettable(const AXElement& element,
                                                   std::string_view attribute) {
  const XElement* e = xElement(element);
  if (!e) return AXResult<bool>::fail(AXError::illegalArgument);
  if (e->kind == ElementKind::application) {
    return AXResult<bool>::ok(attribute == ax::kFrontmost);
  }
  if (e->kind != ElementKind::window) return AXResult<bool>::ok(false);
  Display* d = server_.connection();
  XWindowAttributes attributes;
  ErrorTrap trap(d);
  if (!XGetWindowAttributes(d, e->window, &attributes) || trap.errorSoFar()) {
    return AXResult<bool>::fail(AXError::invalidUIElement);
  }
  // Any client may ask for any frame; the window manager decides (a client
  // with a fixed size keeps it, as a Mac application that refuses does).
  const bool settable = attribute == ax::kPosition || attribute == ax::kSize ||
                        attribute == ax::kMain || attribute == ax::kFocused ||
                        attribute == ax::kMinimized || attribute == ax::kFullScreen;
  return AXResult<bool>::ok(settable);
}

AXError XAccessibility::performAction(const AXElement& element, std::string_view action) {
  const XElement* e = xElement(element);
  if (!e || e->window == None) return AXError::actionUnsupported;
  Display* d = server_.connection();
  ErrorTrap trap(d);
  if (e->kind == ElementKind::window && action == ax::kRaise) {
    XRaiseWindow(d, e->window);
  } else if (e->kind == ElementKind::button && action == ax::kPress) {
    XIconifyWindow(d, e->window, DefaultScreen(d));
  } else {
    return AXError::actionUnsupported;
  }
  return axErrorFor(trap.error());
}

AXResult<Pid> XAccessibility::pid(const AXElement& element) {
  const XElement* e = xElement(element);
  if (!e || e->kind == ElementKind::systemWide) {
    return AXResult<Pid>::fail(AXError::illegalArgument);
  }
  return AXResult<Pid>::ok(e->pid);
}

AXResult<WindowId> XAccessibility::windowNumber(const AXElement& window) {
  const XElement* e = xElement(window);
  if (!e || e->kind != ElementKind::window) {
    return AXResult<WindowId>::fail(AXError::illegalArgument);
  }
  return AXResult<WindowId>::ok(static_cast<WindowId>(e->window));
}

}  // namespace vistarail::x11
