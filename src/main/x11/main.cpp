// vistarail-x11: the program on the X display it finds, managing the windows
// of the clients there under whatever EWMH window manager runs. It stops on
// SIGTERM or Control-C with every window brought back into view.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "control/socket_path.h"
#include "platform/x11/x_platform.h"
#include "shell/program.h"

namespace {

constexpr int kSigInt = 2;

int usage(FILE* out) {
  std::fprintf(out,
               "usage: vistarail-x11 [--display NAME] [--no-socket]\n"
               "Arranges the windows of the X display (DISPLAY, or NAME) on a scrolling\n"
               "strip per monitor. Stop it with Control-C or SIGTERM: every window comes\n"
               "back into view. Scripts reach it with `vistarail msg` unless --no-socket.\n");
  return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vistarail;
  std::string displayName;
  bool socket = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") return usage(stdout);
    if (arg == "--display" && i + 1 < argc) {
      displayName = argv[++i];
    } else if (arg == "--no-socket") {
      socket = false;
    } else {
      return usage(stderr);
    }
  }
  // Before any thread starts, so that every thread leaves the signals to the
  // main queue's signal descriptor.
  x11::XProcess::blockSignals();
  auto server = x11::XServer::open(displayName);
  if (!server) {
    std::fprintf(stderr, "vistarail-x11: cannot open the X display %s\n",
                 displayName.empty() ? (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(unset)")
                                     : displayName.c_str());
    return 1;
  }
  auto platform = std::make_unique<x11::XPlatform>(*server);
  x11::XPlatform& p = *platform;
  p.pump.setKeyHandler([&p](const XKeyEvent& key) { p.hotKeys.keyPressed(key); });
  p.pump.start();

  std::optional<std::string> socketPath;
  if (socket) socketPath = control::defaultSocketPath(control::processEnvironment(), ::geteuid());
  {
    Program program(
        {
            .application = p.application,
            .statusBar = p.statusBar,
            .process = p.process,
            .bundle = p.bundle,
            .alerts = p.alerts,
            .ax = p.accessibility,
            .windowServer = p.windowServer,
            .workspace = p.workspace,
            .dispatch = p.dispatch,
            .displayLinks = p.displayLinks,
            .hotKeys = p.hotKeys,
            .eventTaps = p.eventTaps,
            .overlayPanels = p.overlayPanels,
            .keyboardLayout = p.keyboardLayout,
            .text = p.text,
            .defaults = p.defaults,
            .loginItem = p.loginItem,
            .keyMonitor = p.keyMonitor,
            .updaters = p.updaters,
            .settingsHost = p.settingsHost,
        },
        ProgramHooks{}, socketPath);
    // Control-C asks as the system's terminate does: the shell brings every
    // window back before it lets the program end.
    Subscription interrupt = p.process.observeSignal(kSigInt, [&p] { p.application.terminate(); });
    std::fprintf(stderr, "vistarail-x11: managing %s\n", server->displayName().c_str());
    program.run();
  }
  p.defaults.flush();
  std::fprintf(stderr, "vistarail-x11: stopped\n");
  return 0;
}
