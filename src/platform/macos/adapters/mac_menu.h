#pragma once
// Menus from the port's values to AppKit: NSMenu and NSMenuItem with their
// titles, attributed titles, key equivalents, check marks, enabled flags and
// actions. An item with a `perform` gets a target object that calls it (the
// item holds the target through its represented object, since an item's
// target is weak); one without goes down the responder chain by its
// selector. Include from .mm files only.

#import <AppKit/AppKit.h>

#include "platform/menu.h"

namespace vistarail::macos {

NSMenu* makeNSMenu(const Menu& menu);
// Replaces the menu's items and enabling mode with the port's, keeping the
// NSMenu itself (and so its delegate and its place in the status item).
void fillNSMenu(NSMenu* target, const Menu& menu);

}  // namespace vistarail::macos
