#include "platform/macos/adapters/mac_alerts.h"

#import <AppKit/AppKit.h>

#include "platform/macos/adapters/objc_bridge.h"
#include "platform/macos/shell_translation.h"

namespace vistarail::macos {

static_assert(NSAlertFirstButtonReturn == kAlertFirstButtonReturn,
              "the port answers with the system's button codes");

int MacAlerts::runModal(const Alert& alert) {
  NSAlert* panel = [[NSAlert alloc] init];
  // A text that is not UTF-8 shows empty rather than raising on nil.
  panel.messageText = nsText(alert.messageText);
  panel.informativeText = nsText(alert.informativeText);
  const std::vector<std::string> titles = alertButtonTitles(alert);
  for (const std::string& title : titles) [panel addButtonWithTitle:nsText(title)];
  // An accessory application is not active; the alert would open behind
  // the frontmost application's windows.
  [NSApp activateIgnoringOtherApps:YES];
  return alertResponse([panel runModal], titles.size());
}

}  // namespace vistarail::macos
