#pragma once
// What the application-shell adapters translate, kept free of the
// platform's headers: the terminate reply, the login item's status codes,
// the flags a key monitor hands on, the buttons of an alert and the
// updater's observed key paths.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/alerts.h"
#include "platform/application.h"
#include "platform/login_item.h"
#include "platform/menu.h"
#include "platform/updater.h"

namespace vistarail::macos {

// NSApplicationTerminateReply: cancel 0, now 1, later 2.
long terminateReplyCode(TerminateReply reply);

// SMAppServiceStatus: not registered 0, enabled 1, requires approval 2, not
// found 3. A code a newer system adds is taken as "not found": the program
// cannot tell what it means, so it neither shows the item on nor offers
// approval in System Settings.
LoginItemStatus loginItemStatusFromCode(long code);

// The flags a key-down carries on to the program: the device-independent
// ones only (NSEventModifierFlagDeviceIndependentFlagsMask). The low bits
// say which of the left or right keys is held and would make Shift-A from
// the right Shift key a different combo from the left one.
inline constexpr uint64_t kDeviceIndependentFlagsMask = 0xffff0000ULL;
uint64_t keyMonitorFlags(uint64_t eventModifierFlags);

// The menu key-equivalent modifiers an item may carry (the port's flags are
// the event flags' bits); anything else a caller put there is dropped rather
// than handed to AppKit as an unknown bit.
uint64_t menuKeyEquivalentModifiers(uint64_t itemModifiers);

// The buttons an alert shows, first the default one: "OK" when none is given.
std::vector<std::string> alertButtonTitles(const Alert& alert);
// The port's answer for a modal response: the button's return code when it
// is one of the alert's buttons, else the first button's (an alert stopped
// by the system answers something else, and the program's alerts only
// inform).
int alertResponse(long modalResponse, size_t buttonCount);

// The key path the updater publishes a property under.
std::string_view updaterKeyPath(UpdaterProperty property);

}  // namespace vistarail::macos
