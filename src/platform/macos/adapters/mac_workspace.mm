#include "platform/macos/adapters/mac_workspace.h"

#import <AppKit/AppKit.h>

#include <utility>

#include "platform/macos/adapters/mac_canvas.h"
#include "platform/macos/adapters/objc_bridge.h"

namespace vistarail::macos {

namespace {

ActivationPolicy policyOf(NSApplicationActivationPolicy policy) {
  switch (policy) {
    case NSApplicationActivationPolicyRegular:
      return ActivationPolicy::regular;
    case NSApplicationActivationPolicyAccessory:
      return ActivationPolicy::accessory;
    case NSApplicationActivationPolicyProhibited:
      break;
  }
  return ActivationPolicy::prohibited;
}

RunningApplication applicationOf(NSRunningApplication* app) {
  RunningApplication out;
  out.pid = app.processIdentifier;
  out.bundleIdentifier = stdString(app.bundleIdentifier);
  out.localizedName = stdString(app.localizedName);
  out.activationPolicy = policyOf(app.activationPolicy);
  out.isTerminated = app.terminated;
  out.isHidden = app.hidden;
  out.bundlePath = stdString(app.bundleURL.path);
  return out;
}

Rect rectOf(NSRect r) {
  return {r.origin.x, r.origin.y, r.size.width, r.size.height};
}

// Observes notifications on a centre until the subscription ends. A block
// already queued on the main queue when it ends finds the flag down and does
// nothing, so no handler runs after its subscription is gone.
Subscription observeNames(NSNotificationCenter* center, NSArray<NSString*>* names,
                          void (^block)(NSNotification*, NSUInteger)) {
  auto alive = std::make_shared<bool>(true);
  NSMutableArray* tokens = [[NSMutableArray alloc] init];
  NSUInteger index = 0;
  for (NSString* name in names) {
    const NSUInteger which = index++;
    id token = [center addObserverForName:name
                                   object:nil
                                    queue:NSOperationQueue.mainQueue
                               usingBlock:^(NSNotification* note) {
                                 if (*alive) block(note, which);
                               }];
    [tokens addObject:token];
  }
  return Subscription([center, tokens, alive] {
    *alive = false;
    for (id token in tokens) [center removeObserver:token];
  });
}

}  // namespace

std::vector<RunningApplication> MacWorkspace::runningApplications() {
  std::vector<RunningApplication> out;
  for (NSRunningApplication* app in NSWorkspace.sharedWorkspace.runningApplications) {
    out.push_back(applicationOf(app));
  }
  return out;
}

std::optional<RunningApplication> MacWorkspace::frontmostApplication() {
  NSRunningApplication* app = NSWorkspace.sharedWorkspace.frontmostApplication;
  if (!app) return std::nullopt;
  return applicationOf(app);
}

Subscription MacWorkspace::observe(WorkspaceHandler handler) {
  static const WorkspaceEvent events[] = {
      WorkspaceEvent::didLaunchApplication,   WorkspaceEvent::didTerminateApplication,
      WorkspaceEvent::didActivateApplication, WorkspaceEvent::didHideApplication,
      WorkspaceEvent::didUnhideApplication,   WorkspaceEvent::activeSpaceDidChange,
  };
  NSArray<NSString*>* names = @[
    NSWorkspaceDidLaunchApplicationNotification, NSWorkspaceDidTerminateApplicationNotification,
    NSWorkspaceDidActivateApplicationNotification, NSWorkspaceDidHideApplicationNotification,
    NSWorkspaceDidUnhideApplicationNotification, NSWorkspaceActiveSpaceDidChangeNotification
  ];
  auto shared = std::make_shared<WorkspaceHandler>(std::move(handler));
  return observeNames(NSWorkspace.sharedWorkspace.notificationCenter, names,
                      ^(NSNotification* note, NSUInteger which) {
                        std::optional<RunningApplication> app;
                        id object = note.userInfo[NSWorkspaceApplicationKey];
                        if ([object isKindOfClass:[NSRunningApplication class]]) {
                          app = applicationOf(object);
                        }
                        (*shared)(events[which], app);
                      });
}

std::vector<ScreenInfo> MacWorkspace::screens() {
  // The first screen is the primary one (the one with the menu bar), whose
  // bottom-left corner is the origin of the screen space.
  std::vector<ScreenInfo> out;
  for (NSScreen* screen in NSScreen.screens) {
    ScreenInfo info;
    id number = screen.deviceDescription[@"NSScreenNumber"];
    if ([number isKindOfClass:[NSNumber class]]) info.screenNumber = [number unsignedIntValue];
    info.localizedName = stdString(screen.localizedName);
    info.frame = rectOf(screen.frame);
    info.visibleFrame = rectOf(screen.visibleFrame);
    out.push_back(std::move(info));
  }
  return out;
}

Subscription MacWorkspace::observeScreenParameters(std::function<void()> handler) {
  auto shared = std::make_shared<std::function<void()>>(std::move(handler));
  return observeNames(NSNotificationCenter.defaultCenter,
                      @[ NSApplicationDidChangeScreenParametersNotification ],
                      ^(NSNotification*, NSUInteger) {
                        (*shared)();
                      });
}

Point MacWorkspace::pointerLocation() {
  const NSPoint p = NSEvent.mouseLocation;  // screen space already
  return {p.x, p.y};
}

bool MacWorkspace::openURL(const std::string& url) {
  NSString* text = nsString(url);
  NSURL* target = text ? [NSURL URLWithString:text] : nil;
  return target && [NSWorkspace.sharedWorkspace openURL:target];
}

OSVersion MacWorkspace::operatingSystemVersion() {
  const NSOperatingSystemVersion v = NSProcessInfo.processInfo.operatingSystemVersion;
  return {static_cast<int>(v.majorVersion), static_cast<int>(v.minorVersion),
          static_cast<int>(v.patchVersion)};
}

ImageRef MacWorkspace::runningApplicationIcon(Pid pid) {
  NSImage* icon = [NSRunningApplication runningApplicationWithProcessIdentifier:pid].icon;
  return icon ? std::make_shared<MacImage>(icon) : nullptr;
}

std::optional<std::string> MacWorkspace::urlForApplication(const std::string& bundleIdentifier) {
  NSString* identifier = nsString(bundleIdentifier);
  NSURL* url = identifier
                   ? [NSWorkspace.sharedWorkspace URLForApplicationWithBundleIdentifier:identifier]
                   : nil;
  if (!url) return std::nullopt;
  return stdString(url.path);
}

ImageRef MacWorkspace::iconForFile(const std::string& path) {
  NSString* file = nsString(path);
  NSImage* icon = file ? [NSWorkspace.sharedWorkspace iconForFile:file] : nil;
  return icon ? std::make_shared<MacImage>(icon) : nullptr;
}

}  // namespace vistarail::macos
