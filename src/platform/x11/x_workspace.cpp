#include "platform/x11/x_workspace.h"

#include <sys/utsname.h>

#include <cstdio>
#include <map>

namespace vistarail::x11 {

namespace {

RunningApplication recordOf(const ClientRecord& client) {
  RunningApplication app;
  app.pid = client.pid;
  app.localizedName = client.appName;
  // X has no bundles; the window class is what names an application to
  // window rules everywhere on X, so it stands in for the identifier.
  app.bundleIdentifier = client.className;
  return app;
}

}  // namespace

std::vector<RunningApplication> XWorkspace::runningApplications() {
  std::vector<RunningApplication> apps;
  std::map<Pid, bool> seen;
  for (const ClientRecord& c : desktop_.clients()) {
    if (!c.listed || seen[c.pid]) continue;
    seen[c.pid] = true;
    apps.push_back(recordOf(c));
  }
  return apps;
}

std::optional<RunningApplication> XWorkspace::application(Pid pid) const {
  for (const ClientRecord& c : desktop_.clients()) {
    if (c.listed && c.pid == pid) return recordOf(c);
  }
  return std::nullopt;
}

std::optional<RunningApplication> XWorkspace::frontmostApplication() {
  const auto active = desktop_.client(desktop_.activeWindow());
  if (!active) return std::nullopt;
  return recordOf(*active);
}

Subscription XWorkspace::observe(WorkspaceHandler handler) {
  return events_.subscribe([handler = std::move(handler)](
                               WorkspaceEvent event, const std::optional<RunningApplication>& app) {
    handler(event, app);
  });
}

std::vector<ScreenInfo> XWorkspace::screens() {
  std::vector<ScreenInfo> screens;
  for (const DisplayRecord& d : desktop_.displays()) screens.push_back(d.screen);
  return screens;
}

Subscription XWorkspace::observeScreenParameters(std::function<void()> handler) {
  return screenChanges_.subscribe(std::move(handler));
}

Point XWorkspace::pointerLocation() {
  Display* d = server_.connection();
  Window root = None, child = None;
  int x = 0, y = 0, wx = 0, wy = 0;
  unsigned int mask = 0;
  XQueryPointer(d, server_.root(), &root, &child, &x, &y, &wx, &wy, &mask);
  const auto displays = desktop_.displays();
  const double primaryHeight = displays.empty() ? 0 : displays.front().frame.height();
  return flipVertically(desktop_.space().toGlobal(Point{double(x), double(y)}), primaryHeight);
}

bool XWorkspace::openURL(const std::string&) {
  // System Settings' deep links mean nothing here and web pages belong to the
  // user's own browser; the program is told it was refused.
  return false;
}

OSVersion XWorkspace::operatingSystemVersion() {
  // The kernel's release stands in: the program only compares versions of
  // the Mac, and a Linux version never matches one.
  utsname name{};
  OSVersion version;
  if (uname(&name) == 0) {
    std::sscanf(name.release, "%d.%d.%d", &version.major, &version.minor, &version.patch);
  }
  return version;
}

}  // namespace vistarail::x11
