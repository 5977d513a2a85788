#include "platform/x11/x_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

#include "platform/x11/window_roles.h"

namespace vistarail::x11 {

Pid leaderPid(Window leader) {
  return kLeaderPidBase | static_cast<Pid>(leader & 0x3fffffff);
}

Window topLevelOf(Display* d, Window root, Window w) {
  Window current = w;
  for (int depth = 0; depth < 16; ++depth) {
    Window rootReturn = None, parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    ErrorTrap trap(d);
    if (!XQueryTree(d, current, &rootReturn, &parent, &children, &count)) return current;
    if (children) XFree(children);
    if (parent == root || parent == None) return current;
    current = parent;
  }
  return current;
}

std::optional<ClientRecord> readClientRecord(Display* d, const XServer& server, Window w) {
  const Atoms& a = server.atoms();
  XWindowAttributes attributes;
  {
    ErrorTrap trap(d);
    if (!XGetWindowAttributes(d, w, &attributes) || trap.errorSoFar()) return std::nullopt;
  }
  ClientRecord r;
  r.window = w;
  r.frame = topLevelOf(d, server.root(), w);
  if (auto pid = readCardinals(d, w, a.netWmPid); pid && !pid->empty() && pid->front() > 0) {
    r.pid = static_cast<Pid>(pid->front());
  } else {
    r.pid = leaderPid(readWindow(d, w, a.wmClientLeader).value_or(w));
  }
  XClassHint hint{nullptr, nullptr};
  {
    ErrorTrap trap(d);
    if (XGetClassHint(d, w, &hint)) {
      if (hint.res_class) r.className = hint.res_class;
      r.appName = !r.className.empty() ? r.className : (hint.res_name ? hint.res_name : "");
      if (hint.res_name) XFree(hint.res_name);
      if (hint.res_class) XFree(hint.res_class);
    }
  }
  WindowKindFacts facts;
  if (auto types = readAtoms(d, w, a.netWmWindowType)) {
    for (Atom t : *types) facts.types.push_back(atomName(d, t));
  }
  Window transientFor = None;
  {
    ErrorTrap trap(d);
    facts.isTransient = XGetTransientForHint(d, w, &transientFor) && transientFor != None;
  }
  r.listed = roleOf(facts).listed && !attributes.override_redirect;
  return r;
}

std::vector<ClientRecord> XDesktop::clients() const {
  std::lock_guard lock(mutex_);
  std::vector<ClientRecord> result;
  for (Window w : order_) {
    if (auto it = clients_.find(w); it != clients_.end()) result.push_back(it->second);
  }
  return result;
}

std::optional<ClientRecord> XDesktop::client(Window w) const {
  std::lock_guard lock(mutex_);
  const auto it = clients_.find(w);
  if (it == clients_.end()) return std::nullopt;
  return it->second;
}

std::vector<ClientRecord> XDesktop::clientsOf(Pid pid) const {
  std::lock_guard lock(mutex_);
  std::vector<ClientRecord> result;
  for (Window w : stacking_) {
    const auto it = clients_.find(w);
    if (it != clients_.end() && it->second.pid == pid && it->second.listed) {
      result.push_back(it->second);
    }
  }
  return result;
}

std::vector<Window> XDesktop::stackingFrontToBack() const {
  std::lock_guard lock(mutex_);
  return stacking_;
}

Window XDesktop::activeWindow() const {
  std::lock_guard lock(mutex_);
  return active_;
}

long XDesktop::currentDesktop() const {
  std::lock_guard lock(mutex_);
  return desktop_;
}

std::vector<DisplayRecord> XDesktop::displays() const {
  std::lock_guard lock(mutex_);
  return displays_;
}

RootSpace XDesktop::space() const {
  std::lock_guard lock(mutex_);
  return space_;
}

XDesktop::ClientChanges XDesktop::refreshClients() {
  Display* d = server_.events();
  const Atoms& a = server_.atoms();
  const std::vector<Window> list =
      readWindows(d, server_.root(), a.netClientList).value_or(std::vector<Window>{});
  std::vector<Window> stacking =
      readWindows(d, server_.root(), a.netClientListStacking).value_or(list);
  std::reverse(stacking.begin(), stacking.end());  // the property lists bottom to top

  std::map<Window, ClientRecord> known;
  {
    std::lock_guard lock(mutex_);
    known = clients_;
  }
  ClientChanges changes;
  std::map<Window, ClientRecord> next;
  for (Window w : list) {
    if (auto it = known.find(w); it != known.end()) {
      next.emplace(w, it->second);
      known.erase(it);
    } else if (auto record = readClientRecord(d, server_, w)) {
      next.emplace(w, *record);
      changes.added.push_back(*record);
    }
  }
  for (auto& [w, record] : known) changes.removed.push_back(record);
  std::lock_guard lock(mutex_);
  clients_ = std::move(next);
  order_ = list;
  stacking_ = std::move(stacking);
  return changes;
}

std::optional<Window> XDesktop::refreshActive() {
  const Window active =
      readWindow(server_.events(), server_.root(), server_.atoms().netActiveWindow).value_or(None);
  std::lock_guard lock(mutex_);
  if (active == active_) return std::nullopt;
  const Window previous = active_;
  active_ = active;
  return previous;
}

bool XDesktop::refreshDesktop() {
  const auto values =
      readCardinals(server_.events(), server_.root(), server_.atoms().netCurrentDesktop);
  const long desktop = values && !values->empty() ? values->front() : 0;
  std::lock_guard lock(mutex_);
  if (desktop == desktop_) return false;
  desktop_ = desktop;
  return true;
}

namespace {

double refreshRateOf(Display* d, XRRScreenResources* resources, RROutput output) {
  double rate = 0;
  XRROutputInfo* info = XRRGetOutputInfo(d, resources, output);
  if (!info) return 0;
  if (info->crtc) {
    if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(d, resources, info->crtc)) {
      for (int i = 0; i < resources->nmode; ++i) {
        const XRRModeInfo& mode = resources->modes[i];
        if (mode.id == crtc->mode && mode.hTotal && mode.vTotal) {
          rate = static_cast<double>(mode.dotClock) /
                 (static_cast<double>(mode.hTotal) * static_cast<double>(mode.vTotal));
        }
      }
      XRRFreeCrtcInfo(crtc);
    }
  }
  XRRFreeOutputInfo(info);
  return rate;
}

}  // namespace

bool XDesktop::refreshDisplays() {
  Display* d = server_.events();
  const Window root = server_.root();
  std::vector<MonitorRecord> monitors;
  int count = 0;
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(d, root);
  if (XRRMonitorInfo* list = XRRGetMonitors(d, root, True, &count)) {
    for (int i = 0; i < count; ++i) {
      MonitorRecord m;
      m.name = atomName(d, list[i].name);
      m.nameAtom = static_cast<uint32_t>(list[i].name);
      m.frame = Rect(list[i].x, list[i].y, list[i].width, list[i].height);
      m.primary = list[i].primary;
      if (resources && list[i].noutput > 0) {
        m.refreshRate = refreshRateOf(d, resources, list[i].outputs[0]);
      }
      monitors.push_back(std::move(m));
    }
    XRRFreeMonitors(list);
  }
  if (resources) XRRFreeScreenResources(resources);
  const Size rootSize{static_cast<double>(DisplayWidth(d, DefaultScreen(d))),
                      static_cast<double>(DisplayHeight(d, DefaultScreen(d)))};
  std::vector<Strut> struts;
  for (const ClientRecord& c : clients()) {
    auto values = readCardinals(d, c.window, server_.atoms().netWmStrutPartial);
    if (!values) values = readCardinals(d, c.window, server_.atoms().netWmStrut);
    if (!values) continue;
    if (auto strut = strutFromProperty(*values, rootSize)) struts.push_back(*strut);
  }
  RootSpace space;
  std::vector<DisplayRecord> displays =
      displaysFromMonitors(std::move(monitors), struts, rootSize, space);
  std::lock_guard lock(mutex_);
  const auto same = [](const DisplayRecord& x, const DisplayRecord& y) {
    return x.screen == y.screen && x.uuid == y.uuid && x.refreshRate == y.refreshRate;
  };
  if (std::equal(displays.begin(), displays.end(), displays_.begin(), displays_.end(), same) &&
      space.origin == space_.origin) {
    return false;
  }
  displays_ = std::move(displays);
  space_ = space;
  return true;
}

}  // namespace vistarail::x11
