// The program over the macOS adapters: the same assembly the simulator's
// scenarios run, with the system's services as its ports.

#include "shell_entry.h"

#include <unistd.h>

#include "control/socket_path.h"
#include "shell/program.h"

namespace vistarail::macos {

void runApplicationShell(MacPlatform& platform) {
  // Made once for the life of the process and never torn down: the process
  // ends inside the run loop (the application exits once the delegate lets
  // it), and nothing may run its destructors under AppKit's feet then.
  auto* program = new Program(
      {
          .application = platform.application,
          .statusBar = platform.statusBar,
          .process = platform.process,
          .bundle = platform.bundle,
          .alerts = platform.alerts,
          .ax = platform.accessibility,
          .windowServer = platform.windowServer,
          .workspace = platform.workspace,
          .dispatch = platform.dispatch,
          .displayLinks = platform.displayLinks,
          .hotKeys = platform.hotKeys,
          .eventTaps = platform.eventTaps,
          .overlayPanels = platform.overlayPanels,
          .keyboardLayout = platform.keyboardLayout,
          .text = platform.text,
          .defaults = platform.defaults,
          .loginItem = platform.loginItem,
          .keyMonitor = platform.keyMonitor,
          .updaters = platform.updaters,
          .settingsHost = platform.settingsHost,
      },
      ProgramHooks{},
      // Scripts reach the program through its control socket in the per-user
      // temporary directory; a second copy finds it taken and goes without.
      control::defaultSocketPath(control::processEnvironment(), ::geteuid()));
  program->run();
}

}  // namespace vistarail::macos
