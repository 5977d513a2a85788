#pragma once
// The process entry: the program runs as an accessory (no Dock icon, no menu
// bar of its own until its settings window is active), with a main menu that
// only that window uses, and hands the rest to its delegate.

#include <memory>

#include "platform/application.h"
#include "platform/menu.h"
#include "shell/app_delegate.h"
#include "shell/shell_links.h"

namespace vistarail {

// The application menu (updates, Quit) and the Edit menu whose standard
// commands give the settings window's text fields their shortcuts.
Menu mainMenu(UpdateControl& updates);

// Sets the delegate, the accessory policy and the main menu, then runs.
void runApplication(Application& application, const std::shared_ptr<AppDelegate>& delegate,
                    UpdateControl& updates);

}  // namespace vistarail
