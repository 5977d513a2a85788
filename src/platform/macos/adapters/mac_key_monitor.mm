#include "platform/macos/adapters/mac_key_monitor.h"

#import <AppKit/AppKit.h>

#include <memory>
#include <utility>

#include "platform/macos/shell_translation.h"

namespace vistarail::macos {

static_assert(NSEventModifierFlagDeviceIndependentFlagsMask == kDeviceIndependentFlagsMask,
              "keyMonitorFlags keeps the device-independent flags");

MacKeyMonitor::~MacKeyMonitor() {
  while (!monitors_.empty()) remove(monitors_.begin()->first);
}

KeyMonitor::Token MacKeyMonitor::add(Handler handler) {
  auto shared = std::make_shared<Handler>(std::move(handler));
  id monitor = [NSEvent
      addLocalMonitorForEventsMatchingMask:NSEventMaskKeyDown
                                   handler:^NSEvent*(NSEvent* event) {
                                     const KeyDown key{event.keyCode,
                                                       keyMonitorFlags(event.modifierFlags)};
                                     // Returning nil consumes the key.
                                     return (*shared)(key) == KeyDisposition::consumed ? nil
                                                                                       : event;
                                   }];
  if (!monitor) return 0;
  const Token token = next_++;
  monitors_[token] = (__bridge_retained const void*)monitor;
  return token;
}

void MacKeyMonitor::remove(Token token) {
  auto found = monitors_.find(token);
  if (found == monitors_.end()) return;
  id monitor = (__bridge_transfer id)found->second;
  monitors_.erase(found);
  [NSEvent removeMonitor:monitor];
}

}  // namespace vistarail::macos
