// The macOS application: a menu-bar application (no Dock icon) running the
// program on the macOS adapters.

#import <AppKit/AppKit.h>

#include "shell_entry.h"

int main() {
  @autoreleasepool {
    // For the life of the process, like the program it serves (see
    // shell_entry.mm): never destroyed.
    auto* platform = new vistarail::macos::MacPlatform();
    vistarail::macos::runApplicationShell(*platform);
  }
  return 0;
}
