#include "platform/macos/adapters/mac_updater.h"

#import <Foundation/Foundation.h>

#include <utility>

#include "platform/macos/adapters/objc_bridge.h"
#include "platform/macos/shell_translation.h"

#if VISTARAIL_WITH_SPARKLE
#import <Sparkle/Sparkle.h>

// Observes one property of the updater until invalidated; the updater is
// used on the main thread only, so its changes arrive there.
@interface VRUpdaterObserver : NSObject
- (instancetype)initWithUpdater:(SPUUpdater*)updater
                        keyPath:(NSString*)keyPath
                        handler:(std::function<void(bool)>)handler;
- (void)invalidate;
@end

@implementation VRUpdaterObserver {
  SPUUpdater* _updater;
  NSString* _keyPath;
  std::function<void(bool)> _handler;
}

- (instancetype)initWithUpdater:(SPUUpdater*)updater
                        keyPath:(NSString*)keyPath
                        handler:(std::function<void(bool)>)handler {
  if ((self = [super init])) {
    _updater = updater;
    _keyPath = keyPath;
    _handler = std::move(handler);
    // The initial value comes at once, during this call.
    [updater addObserver:self
              forKeyPath:keyPath
                 options:NSKeyValueObservingOptionInitial | NSKeyValueObservingOptionNew
                 context:nil];
  }
  return self;
}

- (void)observeValueForKeyPath:(NSString*)keyPath
                      ofObject:(id)object
                        change:(NSDictionary<NSKeyValueChangeKey, id>*)change
                       context:(void*)context {
  (void)keyPath;
  (void)object;
  (void)context;
  id value = change[NSKeyValueChangeNewKey];
  if (_handler && [value isKindOfClass:[NSNumber class]]) _handler([value boolValue]);
}

- (void)invalidate {
  if (!_updater) return;
  [_updater removeObserver:self forKeyPath:_keyPath context:nil];
  _updater = nil;
  _handler = nullptr;
}

@end
#endif

namespace vistarail::macos {

namespace {

#if VISTARAIL_WITH_SPARKLE
class SparkleUpdater final : public Updater {
 public:
  SparkleUpdater()
      : controller_([[SPUStandardUpdaterController alloc] initWithStartingUpdater:NO
                                                                  updaterDelegate:nil
                                                               userDriverDelegate:nil]) {}

  std::optional<std::string> start() override {
    NSError* error = nil;
    if ([controller_.updater startUpdater:&error]) return std::nullopt;
    if (!error) return std::string("The updater did not start.");
    return stdString(error.localizedDescription);
  }
  bool value(UpdaterProperty property) override {
    SPUUpdater* updater = controller_.updater;
    switch (property) {
      case UpdaterProperty::canCheckForUpdates:
        return updater.canCheckForUpdates;
      case UpdaterProperty::automaticallyChecksForUpdates:
        return updater.automaticallyChecksForUpdates;
      case UpdaterProperty::automaticallyDownloadsUpdates:
        return updater.automaticallyDownloadsUpdates;
    }
    return false;
  }
  Subscription observe(UpdaterProperty property, std::function<void(bool)> handler) override {
    VRUpdaterObserver* observer =
        [[VRUpdaterObserver alloc] initWithUpdater:controller_.updater
                                           keyPath:nsText(updaterKeyPath(property))
                                           handler:std::move(handler)];
    return Subscription([observer] { [observer invalidate]; });
  }
  void setAutomaticallyChecksForUpdates(bool on) override {
    controller_.updater.automaticallyChecksForUpdates = on;
  }
  void setAutomaticallyDownloadsUpdates(bool on) override {
    controller_.updater.automaticallyDownloadsUpdates = on;
  }
  void checkForUpdates() override { [controller_ checkForUpdates:nil]; }

 private:
  SPUStandardUpdaterController* controller_;
};
#endif

class UnavailableUpdater final : public Updater {
 public:
  std::optional<std::string> start() override { return std::string(kNoUpdaterDescription); }
  bool value(UpdaterProperty) override { return false; }
  Subscription observe(UpdaterProperty, std::function<void(bool)> handler) override {
    if (handler) handler(false);
    return Subscription();
  }
  void setAutomaticallyChecksForUpdates(bool) override {}
  void setAutomaticallyDownloadsUpdates(bool) override {}
  void checkForUpdates() override {}
};

}  // namespace

std::unique_ptr<Updater> MacUpdaterFactory::makeUnstarted() {
#if VISTARAIL_WITH_SPARKLE
  return std::make_unique<SparkleUpdater>();
#else
  return std::make_unique<UnavailableUpdater>();
#endif
}

}  // namespace vistarail::macos
