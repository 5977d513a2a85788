// The macOS application: a menu-bar application (no Dock icon) running the program
// on the macOS adapters.

#import <AppKit/AppKit.h>

#include "shell_entry.h"

int main() {
  @autoreleasepool {
    NSApplication* application = NSApplication.sharedApplication;
    [application setActivationPolicy:NSApplicationActivationPolicyAccessory];
    static vistarail::macos::MacPlatform platform;
    vistarail::macos::startApplicationShell(platform);
    [application run];
  }
  return 0;
}
