#pragma once
// AppKit: the classes, constants and functions the adapters use.
#import <Foundation/Foundation.h>
#import <QuartzCore/QuartzCore.h>

@class NSImage;
@class NSView;
@class NSEvent;

// Applications and the workspace.
enum NSApplicationActivationPolicy : NSInteger {
  NSApplicationActivationPolicyRegular = 0,
  NSApplicationActivationPolicyAccessory = 1,
  NSApplicationActivationPolicyProhibited = 2,
};

@interface NSRunningApplication : NSObject
+ (instancetype)runningApplicationWithProcessIdentifier:(pid_t)pid;
@property(readonly) pid_t processIdentifier;
@property(readonly, copy) NSString* bundleIdentifier;
@property(readonly, copy) NSString* localizedName;
@property(readonly) NSApplicationActivationPolicy activationPolicy;
@property(readonly, getter=isTerminated) BOOL terminated;
@property(readonly, getter=isHidden) BOOL hidden;
@property(readonly, copy) NSURL* bundleURL;
@property(readonly, strong) NSImage* icon;
@end

@interface NSWorkspace : NSObject
@property(class, readonly, strong) NSWorkspace* sharedWorkspace;
@property(readonly, copy) NSArray<NSRunningApplication*>* runningApplications;
@property(readonly, strong) NSRunningApplication* frontmostApplication;
@property(readonly, strong) NSNotificationCenter* notificationCenter;
- (BOOL)openURL:(NSURL*)url;
- (NSURL*)URLForApplicationWithBundleIdentifier:(NSString*)bundleIdentifier;
- (NSImage*)iconForFile:(NSString*)fullPath;
@end

extern NSNotificationName const NSWorkspaceDidLaunchApplicationNotification;
extern NSNotificationName const NSWorkspaceDidTerminateApplicationNotification;
extern NSNotificationName const NSWorkspaceDidActivateApplicationNotification;
extern NSNotificationName const NSWorkspaceDidHideApplicationNotification;
extern NSNotificationName const NSWorkspaceDidUnhideApplicationNotification;
extern NSNotificationName const NSWorkspaceActiveSpaceDidChangeNotification;
extern NSString* const NSWorkspaceApplicationKey;
extern NSNotificationName const NSApplicationDidChangeScreenParametersNotification;

@interface NSAppearance : NSObject
- (void)performAsCurrentDrawingAppearance:(void (^)(void))block;
@end

@interface NSApplication : NSObject
@property(class, readonly, strong) NSApplication* sharedApplication;
- (BOOL)setActivationPolicy:(NSApplicationActivationPolicy)activationPolicy;
- (void)run;
@property(readonly, strong) NSAppearance* effectiveAppearance;
@end
extern NSApplication* NSApp;

// Screens.
@interface NSScreen : NSObject
@property(class, readonly, copy) NSArray<NSScreen*>* screens;
@property(readonly, copy) NSDictionary<NSString*, id>* deviceDescription;
@property(readonly, copy) NSString* localizedName;
@property(readonly) NSRect frame;
@property(readonly) NSRect visibleFrame;
@end

// Events and touches.
enum NSEventType : NSUInteger { NSEventTypeGesture = 29 };
typedef NSUInteger NSTouchPhase;
enum : NSUInteger { NSTouchPhaseAny = ~0ul };
enum NSTouchType : NSInteger { NSTouchTypeDirect = 0 };

@interface NSTouch : NSObject
@property(readonly) NSTouchType type;
@property(readonly) NSPoint normalizedPosition;
@property(readonly, getter=isResting) BOOL resting;
@property(readonly) NSTouchPhase phase;
@end

@interface NSEvent : NSObject
@property(class, readonly) NSPoint mouseLocation;
+ (NSEvent*)eventWithCGEvent:(CGEventRef)cgEvent;
@property(readonly) NSEventType type;
@property(readonly) NSPoint locationInWindow;
- (NSSet<NSTouch*>*)touchesMatchingPhase:(NSTouchPhase)phase inView:(NSView*)view;
@end

// Colours, fonts, text.
@interface NSColorSpace : NSObject
@property(class, readonly, strong) NSColorSpace* sRGBColorSpace;
@end

@interface NSColor : NSObject
@property(class, readonly, strong) NSColor* clearColor;
@property(class, readonly, strong) NSColor* controlAccentColor;
@property(class, readonly, strong) NSColor* windowBackgroundColor;
@property(class, readonly, strong) NSColor* labelColor;
+ (NSColor*)colorWithSRGBRed:(CGFloat)red
                       green:(CGFloat)green
                        blue:(CGFloat)blue
                       alpha:(CGFloat)alpha;
- (NSColor*)colorUsingColorSpace:(NSColorSpace*)space;
@property(readonly) CGFloat redComponent;
@property(readonly) CGFloat greenComponent;
@property(readonly) CGFloat blueComponent;
@property(readonly) CGFloat alphaComponent;
@end

typedef CGFloat NSFontWeight;
extern const NSFontWeight NSFontWeightRegular;
extern const NSFontWeight NSFontWeightSemibold;

@interface NSFont : NSObject
+ (NSFont*)systemFontOfSize:(CGFloat)fontSize weight:(NSFontWeight)weight;
@end

enum NSTextAlignment : NSInteger;
// Centre is 1 on arm64 and 2 on x86_64: always use the name.
#if defined(__arm64__) || defined(__aarch64__)
enum NSTextAlignment : NSInteger { NSTextAlignmentCenter = 1 };
#else
enum NSTextAlignment : NSInteger { NSTextAlignmentCenter = 2 };
#endif
enum NSLineBreakMode : NSUInteger { NSLineBreakByTruncatingTail = 4 };

@interface NSParagraphStyle : NSObject
@end
@interface NSMutableParagraphStyle : NSParagraphStyle
@property NSTextAlignment alignment;
@property NSLineBreakMode lineBreakMode;
@end

extern NSAttributedStringKey const NSFontAttributeName;
extern NSAttributedStringKey const NSForegroundColorAttributeName;
extern NSAttributedStringKey const NSParagraphStyleAttributeName;

typedef NSInteger NSStringDrawingOptions;
enum : NSInteger {
  NSStringDrawingUsesLineFragmentOrigin = 1 << 0,
  NSStringDrawingTruncatesLastVisibleLine = 1 << 5,
};
@class NSStringDrawingContext;
@interface NSAttributedString (NSStringDrawing)
@property(readonly) NSSize size;
- (void)drawWithRect:(NSRect)rect
             options:(NSStringDrawingOptions)options
             context:(NSStringDrawingContext*)context;
@end

// Images and drawing.
extern const NSRect NSZeroRect;
enum NSCompositingOperation : NSUInteger { NSCompositingOperationSourceOver = 2 };
enum : NSUInteger { NSImageInterpolationHigh = 3 };
typedef NSString* NSImageHintKey;
extern NSImageHintKey const NSImageHintInterpolation;

@interface NSImage : NSObject
@property NSSize size;
- (void)drawInRect:(NSRect)dstSpacePortionRect
          fromRect:(NSRect)srcSpacePortionRect
         operation:(NSCompositingOperation)op
          fraction:(CGFloat)requestedAlpha
    respectFlipped:(BOOL)respectContextIsFlipped
             hints:(NSDictionary<NSImageHintKey, id>*)hints;
@end

@interface NSGraphicsContext : NSObject
@property(class, strong) NSGraphicsContext* currentContext;
@property(readonly) CGContextRef CGContext;
@end

@interface NSCursor : NSObject
@property(class, readonly, strong) NSCursor* arrowCursor;
@property(class, readonly, strong) NSCursor* openHandCursor;
@property(class, readonly, strong) NSCursor* closedHandCursor;
- (void)push;
+ (void)pop;
@end

@interface NSAnimationContext : NSObject
+ (void)runAnimationGroup:(void (^)(NSAnimationContext* context))changes
        completionHandler:(void (^)(void))completionHandler;
@property NSTimeInterval duration;
@end

// Views.
@interface NSResponder : NSObject
- (void)mouseDown:(NSEvent*)event;
- (void)mouseDragged:(NSEvent*)event;
- (void)mouseUp:(NSEvent*)event;
- (void)mouseMoved:(NSEvent*)event;
- (void)mouseEntered:(NSEvent*)event;
- (void)mouseExited:(NSEvent*)event;
@end

typedef NSUInteger NSTrackingAreaOptions;
enum : NSUInteger {
  NSTrackingMouseEnteredAndExited = 0x01,
  NSTrackingMouseMoved = 0x02,
  NSTrackingActiveAlways = 0x80,
  NSTrackingInVisibleRect = 0x200,
};
@interface NSTrackingArea : NSObject
- (instancetype)initWithRect:(NSRect)rect
                     options:(NSTrackingAreaOptions)options
                       owner:(id)owner
                    userInfo:(NSDictionary*)userInfo;
@end

typedef NSUInteger NSAutoresizingMaskOptions;
enum : NSUInteger { NSViewWidthSizable = 2, NSViewHeightSizable = 16 };

@interface NSView : NSResponder
- (instancetype)initWithFrame:(NSRect)frameRect;
@property(readonly, getter=isFlipped) BOOL flipped;
@property BOOL needsDisplay;
@property NSAutoresizingMaskOptions autoresizingMask;
@property BOOL wantsLayer;
@property(strong) CALayer* layer;
- (BOOL)acceptsFirstMouse:(NSEvent*)event;
- (void)setFrameSize:(NSSize)newSize;
- (void)drawRect:(NSRect)dirtyRect;
- (NSPoint)convertPoint:(NSPoint)point fromView:(NSView*)view;
- (void)updateTrackingAreas;
- (void)addTrackingArea:(NSTrackingArea*)trackingArea;
- (void)removeTrackingArea:(NSTrackingArea*)trackingArea;
- (void)resetCursorRects;
- (void)addCursorRect:(NSRect)rect cursor:(NSCursor*)object;
- (void)addSubview:(NSView*)view;
@end

enum NSVisualEffectMaterial : NSInteger { NSVisualEffectMaterialHUDWindow = 13 };
enum NSVisualEffectBlendingMode : NSInteger { NSVisualEffectBlendingModeBehindWindow = 0 };
enum NSVisualEffectState : NSInteger { NSVisualEffectStateActive = 1 };
@interface NSVisualEffectView : NSView
@property NSVisualEffectMaterial material;
@property NSVisualEffectBlendingMode blendingMode;
@property NSVisualEffectState state;
@end

// Windows and panels.
typedef NSUInteger NSWindowStyleMask;
enum : NSUInteger { NSWindowStyleMaskNonactivatingPanel = 1 << 7 };
enum NSBackingStoreType : NSUInteger { NSBackingStoreBuffered = 2 };
enum NSWindowAnimationBehavior : NSInteger { NSWindowAnimationBehaviorNone = 2 };
typedef NSUInteger NSWindowCollectionBehavior;
enum : NSUInteger {
  NSWindowCollectionBehaviorCanJoinAllSpaces = 1 << 0,
  NSWindowCollectionBehaviorStationary = 1 << 4,
  NSWindowCollectionBehaviorIgnoresCycle = 1 << 6,
  NSWindowCollectionBehaviorFullScreenAuxiliary = 1 << 8,
};
enum NSWindowOrderingMode : NSInteger { NSWindowBelow = -1, NSWindowAbove = 1 };
typedef NSInteger NSWindowLevel;

@interface NSWindow : NSResponder
- (instancetype)initWithContentRect:(NSRect)contentRect
                          styleMask:(NSWindowStyleMask)style
                            backing:(NSBackingStoreType)backingStoreType
                              defer:(BOOL)flag;
@property(getter=isOpaque) BOOL opaque;
@property(strong) NSColor* backgroundColor;
@property(getter=isReleasedWhenClosed) BOOL releasedWhenClosed;
@property BOOL hidesOnDeactivate;
@property NSWindowAnimationBehavior animationBehavior;
@property CGFloat alphaValue;
@property NSWindowCollectionBehavior collectionBehavior;
@property NSWindowLevel level;
@property BOOL ignoresMouseEvents;
@property BOOL hasShadow;
@property(strong) NSView* contentView;
@property(readonly) NSInteger windowNumber;
@property(readonly) NSRect frame;
@property(readonly, getter=isVisible) BOOL visible;
@property(readonly) BOOL canBecomeKeyWindow;
@property(readonly) BOOL canBecomeMainWindow;
- (void)setFrame:(NSRect)frameRect display:(BOOL)flag;
- (void)orderFrontRegardless;
- (void)orderWindow:(NSWindowOrderingMode)place relativeTo:(NSInteger)otherWin;
- (void)orderOut:(id)sender;
- (void)invalidateCursorRectsForView:(NSView*)view;
- (instancetype)animator;
@end

@interface NSPanel : NSWindow
@property BOOL becomesKeyOnlyIfNeeded;
@end

// The application shell: delegate, menus, status bar, alerts, controls.
#import <AppKit/AppKitShell.h>
