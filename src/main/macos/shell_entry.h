#pragma once
// Where the application shell (status item and menu, the application
// delegate, the setup checklist and settings window) takes over the process
// once it exists; until then shell_entry.mm runs the window manager alone.

#include "platform/macos/adapters/mac_platform.h"

namespace vistarail::macos {

// Called on the main thread before the application's run loop starts; the
// platform outlives the run loop.
void startApplicationShell(MacPlatform& platform);

}  // namespace vistarail::macos
