#pragma once
// Where the application shell takes over the process: the program (status
// item and menu, the application delegate, the settings window, updates, the
// window manager it starts) assembled over the macOS adapters, then run.

#include "platform/macos/adapters/mac_platform.h"

namespace vistarail::macos {

// Called once on the main thread; returns only if the run loop ends without
// the process exiting. The platform must outlive the run loop.
void runApplicationShell(MacPlatform& platform);

}  // namespace vistarail::macos
