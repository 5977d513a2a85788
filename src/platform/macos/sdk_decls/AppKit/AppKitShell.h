#pragma once
// AppKit, continued: what the application shell's adapters use (the
// application's delegate and termination, menus, the status bar, key
// monitors, alerts, the settings window's controls and layout). Included by
// AppKit.h after the classes it extends.

// The application's delegate, termination and menus.
enum NSApplicationTerminateReply : NSUInteger {
  NSTerminateCancel = 0,
  NSTerminateNow = 1,
  NSTerminateLater = 2,
};

@protocol NSApplicationDelegate <NSObject>
@optional
- (void)applicationDidFinishLaunching:(NSNotification*)notification;
- (NSApplicationTerminateReply)applicationShouldTerminate:(NSApplication*)sender;
- (BOOL)applicationShouldHandleReopen:(NSApplication*)sender hasVisibleWindows:(BOOL)flag;
@end

@class NSMenu;

@interface NSApplication (Shell)
@property(weak) id<NSApplicationDelegate> delegate;
@property(strong) NSMenu* mainMenu;
- (void)terminate:(id)sender;
- (void)replyToApplicationShouldTerminate:(BOOL)shouldTerminate;
- (void)activateIgnoringOtherApps:(BOOL)flag;
- (void)orderFrontStandardAboutPanel:(id)sender;
@end

void NSBeep(void);

typedef NSUInteger NSEventModifierFlags;
enum : NSUInteger {
  NSEventModifierFlagShift = 1 << 17,
  NSEventModifierFlagControl = 1 << 18,
  NSEventModifierFlagOption = 1 << 19,
  NSEventModifierFlagCommand = 1 << 20,
  NSEventModifierFlagDeviceIndependentFlagsMask = 0xffff0000UL,
};
typedef unsigned long long NSEventMask;
enum : unsigned long long { NSEventMaskKeyDown = 1ULL << 10 };

@interface NSEvent (KeyMonitors)
+ (id)addLocalMonitorForEventsMatchingMask:(NSEventMask)mask
                                   handler:(NSEvent* (^)(NSEvent* event))block;
+ (void)removeMonitor:(id)eventMonitor;
@property(readonly) unsigned short keyCode;
@property(readonly) NSEventModifierFlags modifierFlags;
@end

typedef NSInteger NSControlStateValue;
static const NSControlStateValue NSControlStateValueOff = 0;
static const NSControlStateValue NSControlStateValueOn = 1;

@interface NSMenuItem : NSObject
+ (NSMenuItem*)separatorItem;
- (instancetype)initWithTitle:(NSString*)string
                       action:(SEL)selector
                keyEquivalent:(NSString*)charCode;
@property(copy) NSAttributedString* attributedTitle;
@property NSEventModifierFlags keyEquivalentModifierMask;
@property NSControlStateValue state;
@property(getter=isEnabled) BOOL enabled;
@property(strong) NSMenu* submenu;
@property(weak) id target;
@property SEL action;
@property(strong) id representedObject;
@end

@protocol NSMenuItemValidation <NSObject>
- (BOOL)validateMenuItem:(NSMenuItem*)menuItem;
@end

@protocol NSMenuDelegate <NSObject>
@optional
- (void)menuNeedsUpdate:(NSMenu*)menu;
@end

@interface NSMenu : NSObject
- (instancetype)initWithTitle:(NSString*)title;
- (void)removeAllItems;
- (void)addItem:(NSMenuItem*)newItem;
@property BOOL autoenablesItems;
@property(weak) id<NSMenuDelegate> delegate;
@end

@interface NSFont (Shell)
+ (NSFont*)menuFontOfSize:(CGFloat)fontSize;
+ (NSFont*)boldSystemFontOfSize:(CGFloat)fontSize;
@end

@interface NSColor (Shell)
@property(class, readonly, strong) NSColor* secondaryLabelColor;
@property(class, readonly, strong) NSColor* tertiaryLabelColor;
@property(class, readonly, strong) NSColor* systemGreenColor;
@property(class, readonly, strong) NSColor* systemOrangeColor;
@property(class, readonly, strong) NSColor* systemBlueColor;
@property(class, readonly, strong) NSColor* systemRedColor;
@end

@interface NSImage (Symbols)
+ (instancetype)imageWithSystemSymbolName:(NSString*)name
                 accessibilityDescription:(NSString*)description;
// The property is named "template", a C++ keyword: its accessors by hand.
- (void)setTemplate:(BOOL)isTemplate;
@end

// Controls.
@interface NSView (Shell)
@property(copy) NSString* toolTip;
@property NSRect frame;
@property(readonly) NSSize fittingSize;
- (void)removeFromSuperview;
@end

@interface NSControl : NSView
@property(weak) id target;
@property SEL action;
@property(getter=isEnabled) BOOL enabled;
@property double doubleValue;
@property(copy) NSString* stringValue;
@property(strong) NSFont* font;
- (void)sizeToFit;
@end

enum NSButtonType : NSUInteger { NSButtonTypePushOnPushOff = 1 };

@interface NSButton : NSControl
+ (instancetype)buttonWithTitle:(NSString*)title target:(id)target action:(SEL)action;
@property(copy) NSString* title;
@property(strong) NSImage* image;
@property NSControlStateValue state;
- (void)setButtonType:(NSButtonType)type;
@end

@interface NSStatusBarButton : NSButton
@property BOOL appearsDisabled;
@end

@interface NSSwitch : NSControl
- (instancetype)init;
@property NSControlStateValue state;
@end

@interface NSSlider : NSControl
+ (instancetype)sliderWithValue:(double)value
                       minValue:(double)minValue
                       maxValue:(double)maxValue
                         target:(id)target
                         action:(SEL)action;
@property NSInteger numberOfTickMarks;
@property BOOL allowsTickMarkValuesOnly;
@end

@interface NSPopUpButton : NSButton
- (instancetype)initWithFrame:(NSRect)buttonFrame pullsDown:(BOOL)flag;
- (void)addItemWithTitle:(NSString*)title;
- (void)selectItemAtIndex:(NSInteger)index;
@property(readonly) NSInteger indexOfSelectedItem;
@end

@protocol NSTextFieldDelegate <NSObject>
@optional
- (void)controlTextDidChange:(NSNotification*)obj;
@end

enum NSTextFieldBezelStyle : NSUInteger { NSTextFieldRoundedBezel = 1 };

@interface NSTextField : NSControl
+ (instancetype)labelWithString:(NSString*)stringValue;
+ (instancetype)wrappingLabelWithString:(NSString*)stringValue;
+ (instancetype)textFieldWithString:(NSString*)stringValue;
@property(copy) NSColor* textColor;
@property(copy) NSString* placeholderString;
@property CGFloat preferredMaxLayoutWidth;
@property NSTextFieldBezelStyle bezelStyle;
@property(weak) id<NSTextFieldDelegate> delegate;
@end

@interface NSImageView : NSControl
+ (instancetype)imageViewWithImage:(NSImage*)image;
@property(copy) NSColor* contentTintColor;
@end

enum NSSegmentSwitchTracking : NSUInteger { NSSegmentSwitchTrackingSelectOne = 0 };

@interface NSSegmentedControl : NSControl
+ (instancetype)segmentedControlWithLabels:(NSArray<NSString*>*)labels
                              trackingMode:(NSSegmentSwitchTracking)trackingMode
                                    target:(id)target
                                    action:(SEL)action;
@property NSInteger segmentCount;
@property NSInteger selectedSegment;
- (void)setLabel:(NSString*)label forSegment:(NSInteger)segment;
- (void)setImage:(NSImage*)image forSegment:(NSInteger)segment;
@end

// Layout.
enum NSUserInterfaceLayoutOrientation : NSInteger {
  NSUserInterfaceLayoutOrientationHorizontal = 0,
  NSUserInterfaceLayoutOrientationVertical = 1,
};
enum NSLayoutAttribute : NSInteger { NSLayoutAttributeLeading = 5 };

@interface NSStackView : NSView
+ (instancetype)stackViewWithViews:(NSArray<NSView*>*)views;
@property NSUserInterfaceLayoutOrientation orientation;
@property NSLayoutAttribute alignment;
@property CGFloat spacing;
@property NSEdgeInsets edgeInsets;
@property(readonly, copy) NSArray<NSView*>* arrangedSubviews;
- (void)insertArrangedSubview:(NSView*)view atIndex:(NSInteger)index;
@end

@interface NSScrollView : NSView
@property BOOL hasVerticalScroller;
@property BOOL drawsBackground;
@property(strong) NSView* documentView;
@end

// The status bar.
@interface NSStatusItem : NSObject
@property(readonly, strong) NSStatusBarButton* button;
@property(strong) NSMenu* menu;
@end

@interface NSStatusBar : NSObject
@property(class, readonly, strong) NSStatusBar* systemStatusBar;
- (NSStatusItem*)statusItemWithLength:(CGFloat)length;
- (void)removeStatusItem:(NSStatusItem*)item;
@end

// Alerts.
typedef NSInteger NSModalResponse;
static const NSModalResponse NSAlertFirstButtonReturn = 1000;

@interface NSAlert : NSObject
@property(copy) NSString* messageText;
@property(copy) NSString* informativeText;
- (NSButton*)addButtonWithTitle:(NSString*)title;
- (NSModalResponse)runModal;
@end

// Ordinary windows.
enum : NSUInteger {
  NSWindowStyleMaskTitled = 1 << 0,
  NSWindowStyleMaskClosable = 1 << 1,
  NSWindowStyleMaskMiniaturizable = 1 << 2,
};

@protocol NSWindowDelegate <NSObject>
@optional
- (void)windowWillClose:(NSNotification*)notification;
@end

@interface NSWindow (Ordinary)
@property(copy) NSString* title;
@property(weak) id<NSWindowDelegate> delegate;
- (void)center;
- (void)makeKeyAndOrderFront:(id)sender;
@end
