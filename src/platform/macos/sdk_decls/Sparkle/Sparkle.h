#pragma once
// Sparkle 2, the update framework the customer release embeds: its standard
// updater controller and updater, as far as the updater adapter uses them.
#import <Foundation/Foundation.h>

@protocol SPUUpdaterDelegate;
@protocol SPUStandardUserDriverDelegate;

@interface SPUUpdater : NSObject
- (BOOL)startUpdater:(NSError* __autoreleasing*)error;
@property(readonly) BOOL canCheckForUpdates;
@property BOOL automaticallyChecksForUpdates;
@property BOOL automaticallyDownloadsUpdates;
@end

@interface SPUStandardUpdaterController : NSObject
- (instancetype)initWithStartingUpdater:(BOOL)startUpdater
                        updaterDelegate:(id<SPUUpdaterDelegate>)updaterDelegate
                     userDriverDelegate:(id<SPUStandardUserDriverDelegate>)userDriverDelegate;
@property(readonly) SPUUpdater* updater;
- (void)checkForUpdates:(id)sender;
@end
