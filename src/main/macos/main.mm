// The macOS application: a menu-bar application (no Dock icon) running the
// program on the macOS adapters.

#import <AppKit/AppKit.h>

#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "control/msg_command.h"
#include "control/socket_path.h"
#include "shell_entry.h"

int main(int argc, char** argv) {
  // `vistarail msg ...` from a shell: the control socket's client, no app.
  if (argc > 1 && std::string(argv[1]) == "msg") {
    using namespace vistarail::control;
    return runMsg(std::vector<std::string>(argv + 2, argv + argc),
                  defaultSocketPath(processEnvironment(), ::geteuid()), std::cout, std::cerr);
  }
  @autoreleasepool {
    // For the life of the process, like the program it serves (see
    // shell_entry.mm): never destroyed.
    auto* platform = new vistarail::macos::MacPlatform();
    vistarail::macos::runApplicationShell(*platform);
  }
  return 0;
}
