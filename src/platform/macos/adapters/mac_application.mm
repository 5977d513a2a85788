#include "platform/macos/adapters/mac_application.h"

#import <AppKit/AppKit.h>

#include <utility>

#include "platform/macos/adapters/mac_menu.h"
#include "platform/macos/shell_translation.h"

@interface VRApplicationDelegate : NSObject <NSApplicationDelegate>
@property(nonatomic) std::weak_ptr<vistarail::ApplicationDelegate> target;
@end

@implementation VRApplicationDelegate

- (void)applicationDidFinishLaunching:(NSNotification*)notification {
  (void)notification;
  if (auto target = _target.lock()) target->applicationDidFinishLaunching();
}

- (NSApplicationTerminateReply)applicationShouldTerminate:(NSApplication*)sender {
  (void)sender;
  auto target = _target.lock();
  const vistarail::TerminateReply reply =
      target ? target->applicationShouldTerminate() : vistarail::TerminateReply::now;
  return static_cast<NSApplicationTerminateReply>(vistarail::macos::terminateReplyCode(reply));
}

- (BOOL)applicationShouldHandleReopen:(NSApplication*)sender hasVisibleWindows:(BOOL)flag {
  (void)sender;
  auto target = _target.lock();
  return target ? target->applicationShouldHandleReopen(flag) : YES;
}

@end

namespace vistarail::macos {

static_assert(NSTerminateCancel == 0 && NSTerminateNow == 1 && NSTerminateLater == 2,
              "terminateReplyCode answers with these values");

struct MacApplication::Objects {
  VRApplicationDelegate* delegate = [[VRApplicationDelegate alloc] init];
};

MacApplication::MacApplication() : objects_(std::make_unique<Objects>()) {
  // Makes the shared application before anything asks NSApp.
  [NSApplication sharedApplication];
}

MacApplication::~MacApplication() {
  if (NSApp.delegate == objects_->delegate) NSApp.delegate = nil;
}

void MacApplication::setDelegate(std::weak_ptr<ApplicationDelegate> delegate) {
  objects_->delegate.target = std::move(delegate);
  // NSApp holds its delegate weakly; objects_ keeps it.
  NSApp.delegate = objects_->delegate;
}

bool MacApplication::setActivationPolicy(ActivationPolicy policy) {
  NSApplicationActivationPolicy value = NSApplicationActivationPolicyProhibited;
  if (policy == ActivationPolicy::regular) value = NSApplicationActivationPolicyRegular;
  if (policy == ActivationPolicy::accessory) value = NSApplicationActivationPolicyAccessory;
  return [NSApp setActivationPolicy:value];
}

void MacApplication::setMainMenu(Menu menu) {
  NSApp.mainMenu = makeNSMenu(menu);
}

void MacApplication::run() {
  [NSApp run];
}

void MacApplication::terminate() {
  [NSApp terminate:nil];
}

void MacApplication::replyToApplicationShouldTerminate(bool shouldTerminate) {
  [NSApp replyToApplicationShouldTerminate:shouldTerminate];
}

void MacApplication::activate() {
  [NSApp activateIgnoringOtherApps:YES];
}

void MacApplication::orderFrontStandardAboutPanel() {
  [NSApp orderFrontStandardAboutPanel:nil];
}

void MacApplication::beep() {
  NSBeep();
}

}  // namespace vistarail::macos
