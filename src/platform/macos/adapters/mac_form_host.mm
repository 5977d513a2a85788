#include "platform/macos/adapters/mac_form_host.h"

#import <AppKit/AppKit.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/macos/adapters/objc_bridge.h"
#include "platform/macos/form_translation.h"

// The target of one control: calls back with the sender.
@interface VRFormAction : NSObject <NSTextFieldDelegate, NSWindowDelegate>
- (instancetype)initWithBlock:(std::function<void(id)>)block;
- (void)act:(id)sender;
@end

@implementation VRFormAction {
  std::function<void(id)> _block;
}
- (instancetype)initWithBlock:(std::function<void(id)>)block {
  if ((self = [super init])) _block = std::move(block);
  return self;
}
- (void)act:(id)sender {
  if (_block) _block(sender);
}
// A text field's edits, one call per change (Return is its action).
- (void)controlTextDidChange:(NSNotification*)notification {
  if (_block) _block(notification);
}
// The window's close button.
- (void)windowWillClose:(NSNotification*)notification {
  if (_block) _block(notification);
}
@end

// Rows from the top down.
@interface VRFlippedStackView : NSStackView
@end
@implementation VRFlippedStackView
- (BOOL)isFlipped {
  return YES;
}
@end

namespace vistarail::macos {

namespace {

constexpr CGFloat kTabsHeight = 44;
constexpr CGFloat kMargin = 20;

NSColor* colorOf(FormTone tone) {
  switch (toneColor(tone)) {
    case ToneColor::label:
      return NSColor.labelColor;
    case ToneColor::secondaryLabel:
      return NSColor.secondaryLabelColor;
    case ToneColor::tertiaryLabel:
      return NSColor.tertiaryLabelColor;
    case ToneColor::green:
      return NSColor.systemGreenColor;
    case ToneColor::orange:
      return NSColor.systemOrangeColor;
    case ToneColor::blue:
      return NSColor.systemBlueColor;
    case ToneColor::red:
      return NSColor.systemRedColor;
  }
  return NSColor.labelColor;
}

// A label on one line, or wrapped at `wrapWidth` when it is not 0.
NSTextField* label(const std::string& value, FormTone tone = FormTone::primary,
                   CGFloat wrapWidth = 0) {
  NSTextField* field = wrapWidth > 0 ? [NSTextField wrappingLabelWithString:nsText(value)]
                                     : [NSTextField labelWithString:nsText(value)];
  if (wrapWidth > 0) field.preferredMaxLayoutWidth = wrapWidth;
  field.textColor = colorOf(tone);
  return field;
}

NSTextField* heading(const std::string& value, CGFloat size) {
  NSTextField* field = label(value);
  field.font = [NSFont boldSystemFontOfSize:size];
  return field;
}

NSImage* symbol(const std::string& name) {
  return [NSImage imageWithSystemSymbolName:nsText(name) accessibilityDescription:nil];
}

NSStackView* row(NSArray<NSView*>* views) {
  NSStackView* stack = [NSStackView stackViewWithViews:views];
  stack.orientation = NSUserInterfaceLayoutOrientationHorizontal;
  stack.spacing = 8;
  return stack;
}

NSStackView* column(NSArray<NSView*>* views) {
  NSStackView* stack = [NSStackView stackViewWithViews:views];
  stack.orientation = NSUserInterfaceLayoutOrientationVertical;
  stack.alignment = NSLayoutAttributeLeading;
  stack.spacing = 2;
  return stack;
}

}  // namespace

struct MacFormHost::Objects {
  FormHandlers handlers;
  NSWindow* window = nil;
  NSSegmentedControl* tabs = nil;
  NSScrollView* scroll = nil;
  // Where wrapped text breaks: the column's width less its margins and room
  // for a switch or an icon beside the text.
  CGFloat textWidth = 600;
  VRFlippedStackView* rows = nil;
  VRFormAction* windowDelegate = nil;
  VRFormAction* tabAction = nil;
  FormWindow shown;
  // The targets of each row's controls (controls hold their targets weakly).
  std::vector<NSMutableArray*> targets;

  void operate(const std::string& name, FormInput input) {
    if (handlers.operate) handlers.operate(name, input);
  }

  // A target calling `block` with the sender, kept with the row.
  VRFormAction* target(NSMutableArray* keep, std::function<void(id)> block) {
    VRFormAction* action = [[VRFormAction alloc] initWithBlock:std::move(block)];
    [keep addObject:action];
    return action;
  }

  NSButton* button(NSMutableArray* keep, NSString* title, std::function<void(id)> block) {
    VRFormAction* action = target(keep, std::move(block));
    return [NSButton buttonWithTitle:title target:action action:@selector(act:)];
  }

  NSView* makeRow(const FormControl& c, NSMutableArray* keep) {
    const std::string name = c.id;
    switch (c.kind) {
      case FormControlKind::header:
        return row(@[ heading(c.label, 15), label(c.detail, c.tone) ]);
      case FormControlKind::sectionHeader:
        return heading(c.label, 13);
      case FormControlKind::paragraph:
        return label(c.label, c.tone, textWidth);
      case FormControlKind::toggle: {
        NSSwitch* toggle = [[NSSwitch alloc] init];
        toggle.state = c.isOn ? NSControlStateValueOn : NSControlStateValueOff;
        toggle.enabled = c.enabled;
        toggle.target = target(keep, [this, name](id sender) {
          operate(name, static_cast<NSSwitch*>(sender).state == NSControlStateValueOn);
        });
        toggle.action = @selector(act:);
        NSView* texts =
            c.detail.empty()
                ? label(c.label)
                : column(@[ label(c.label), label(c.detail, FormTone::secondary, textWidth) ]);
        return row(@[ toggle, texts ]);
      }
      case FormControlKind::slider: {
        VRFormAction* action = target(keep, [this, name](id sender) {
          operate(name, static_cast<NSSlider*>(sender).doubleValue);
        });
        NSSlider* slider = [NSSlider sliderWithValue:c.value
                                            minValue:c.minimum
                                            maxValue:c.maximum
                                              target:action
                                              action:@selector(act:)];
        slider.numberOfTickMarks = sliderTickMarks(c.minimum, c.maximum, c.step);
        slider.allowsTickMarkValuesOnly = slider.numberOfTickMarks > 0;
        slider.enabled = c.enabled;
        return row(@[ label(c.label), slider, label(c.valueText, FormTone::secondary) ]);
      }
      case FormControlKind::picker:
      case FormControlKind::menu: {
        const bool pullsDown = c.kind == FormControlKind::menu;
        NSPopUpButton* popUp = [[NSPopUpButton alloc] initWithFrame:NSZeroRect pullsDown:pullsDown];
        // A pull-down shows its first item as its title and never selects it.
        if (pullsDown) [popUp addItemWithTitle:nsText(c.label)];
        for (const std::string& option : c.options) [popUp addItemWithTitle:nsText(option)];
        if (!pullsDown && c.selected >= 0) [popUp selectItemAtIndex:c.selected];
        if (!pullsDown && c.selected < 0) popUp.title = nsText(c.valueText);
        popUp.enabled = c.enabled;
        popUp.target = target(keep, [this, name, pullsDown](id sender) {
          const NSInteger index = static_cast<NSPopUpButton*>(sender).indexOfSelectedItem;
          operate(name, static_cast<int>(pullsDown ? index - 1 : index));
        });
        popUp.action = @selector(act:);
        if (pullsDown) return popUp;
        return row(@[ label(c.label), popUp ]);
      }
      case FormControlKind::button: {
        NSButton* made = button(keep, nsText(c.label), [this, name](id) { operate(name, {}); });
        made.toolTip = nsString(c.help);
        made.enabled = c.enabled;
        return made;
      }
      case FormControlKind::textField: {
        NSTextField* field = [NSTextField textFieldWithString:nsText(c.detail)];
        field.placeholderString = nsText(c.label);
        field.bezelStyle = NSTextFieldRoundedBezel;
        field.delegate = target(keep, [this, name](id sender) {
          NSTextField* edited = static_cast<NSNotification*>(sender).object;
          operate(name, stdString(edited.stringValue));
        });
        field.target = target(keep, [this, name](id) { operate(name, {}); });
        field.action = @selector(act:);
        return field;
      }
      case FormControlKind::tile: {
        NSButton* tile = button(keep, nsText(c.label), [this, name](id) { operate(name, {}); });
        [tile setButtonType:NSButtonTypePushOnPushOff];
        tile.state = c.isOn ? NSControlStateValueOn : NSControlStateValueOff;
        tile.toolTip = nsString(c.help);
        return tile;
      }
      case FormControlKind::shortcutRow: {
        NSMutableArray<NSView*>* views = [NSMutableArray array];
        [views addObject:label(c.label)];
        for (size_t i = 0; i < c.keys.size(); ++i) {
          NSButton* key = button(keep, nsText(c.keys[i]),
                                 [this, name, i](id) { operate(name, static_cast<int>(i)); });
          key.toolTip = nsText("Remove " + c.keys[i]);
          [views addObject:key];
        }
        if (!c.detail.empty()) [views addObject:label(c.detail, FormTone::secondary)];
        NSButton* add = button(keep, @"+", [this, name](id) { operate(name, {}); });
        add.toolTip = nsString(c.help);
        [views addObject:add];
        return row(views);
      }
      case FormControlKind::checkRow:
      case FormControlKind::appRow: {
        NSMutableArray<NSView*>* views = [NSMutableArray array];
        if (!c.symbol.empty()) {
          NSImageView* image = [NSImageView imageViewWithImage:symbol(c.symbol)];
          image.contentTintColor = colorOf(c.tone);
          [views addObject:image];
        }
        [views
            addObject:column(@[ label(c.label), label(c.detail, FormTone::secondary, textWidth) ])];
        if (!c.actionTitle.empty()) {
          // A row of an application removes with a symbol; a checklist row
          // fixes with a titled button.
          const bool isApp = c.kind == FormControlKind::appRow;
          NSButton* action = button(keep, isApp ? @"" : nsText(c.actionTitle),
                                    [this, name](id) { operate(name, {}); });
          if (isApp) action.image = symbol(c.actionTitle);
          action.toolTip = nsString(c.help);
          [views addObject:action];
        }
        return row(views);
      }
      case FormControlKind::valueRow:
        return row(@[ label(c.label), label(c.valueText, FormTone::secondary) ]);
    }
    return label(c.label);
  }

  void makeWindow(const FormWindow& form) {
    const NSRect frame = NSMakeRect(0, 0, form.contentSize.width, form.contentSize.height);
    window =
        [[NSWindow alloc] initWithContentRect:frame
                                    styleMask:NSWindowStyleMaskTitled | NSWindowStyleMaskClosable |
                                              NSWindowStyleMaskMiniaturizable
                                      backing:NSBackingStoreBuffered
                                        defer:YES];
    window.releasedWhenClosed = NO;
    windowDelegate = [[VRFormAction alloc] initWithBlock:[this](id) {
      if (handlers.closed) handlers.closed();
    }];
    window.delegate = windowDelegate;
    tabAction = [[VRFormAction alloc] initWithBlock:[this](id sender) {
      const NSInteger tab = static_cast<NSSegmentedControl*>(sender).selectedSegment;
      if (handlers.selectTab) handlers.selectTab(static_cast<int>(tab));
    }];
    tabs = [NSSegmentedControl segmentedControlWithLabels:@[]
                                             trackingMode:NSSegmentSwitchTrackingSelectOne
                                                   target:tabAction
                                                   action:@selector(act:)];
    // The window does not resize: plain frames, the tabs centred along the
    // top and the rows scrolling below them.
    const CGFloat width = form.contentSize.width;
    const CGFloat height = form.contentSize.height;
    textWidth = width - 2 * kMargin - 60;
    NSView* content = [[NSView alloc] initWithFrame:frame];
    scroll = [[NSScrollView alloc] initWithFrame:NSMakeRect(0, 0, width, height - kTabsHeight)];
    scroll.hasVerticalScroller = YES;
    scroll.drawsBackground = NO;
    rows = [[VRFlippedStackView alloc] initWithFrame:NSMakeRect(0, 0, width, 0)];
    rows.orientation = NSUserInterfaceLayoutOrientationVertical;
    rows.alignment = NSLayoutAttributeLeading;
    rows.spacing = 10;
    rows.edgeInsets = NSEdgeInsetsMake(16, kMargin, 16, kMargin);
    scroll.documentView = rows;
    [content addSubview:tabs];
    [content addSubview:scroll];
    window.contentView = content;
    [window center];
  }

  void showTabs(const FormWindow& form) {
    tabs.segmentCount = static_cast<NSInteger>(form.tabs.size());
    for (size_t i = 0; i < form.tabs.size(); ++i) {
      const NSInteger segment = static_cast<NSInteger>(i);
      [tabs setLabel:nsText(form.tabs[i].label) forSegment:segment];
      [tabs setImage:symbol(form.tabs[i].symbol) forSegment:segment];
    }
    tabs.selectedSegment = form.selectedTab;
    [tabs sizeToFit];
    const NSRect bar = tabs.frame;
    tabs.frame =
        NSMakeRect((form.contentSize.width - bar.size.width) / 2,
                   form.contentSize.height - kTabsHeight + 8, bar.size.width, bar.size.height);
  }

  void showRows(const FormWindow& form) {
    const std::vector<RowChange> changes = rowChanges(shown.controls, form.controls);
    NSArray<NSView*>* views = rows.arrangedSubviews;
    // Rows past the new form's end go.
    for (NSUInteger i = views.count; i > form.controls.size(); --i) {
      [views[i - 1] removeFromSuperview];
    }
    targets.resize(form.controls.size());
    for (size_t i = 0; i < form.controls.size(); ++i) {
      const NSUInteger at = static_cast<NSUInteger>(i);
      if (changes[i] == RowChange::keep && at < views.count) continue;
      if (changes[i] == RowChange::setText && at < views.count &&
          [views[at] isKindOfClass:[NSTextField class]]) {
        NSTextField* field = static_cast<NSTextField*>(views[at]);
        NSString* value = nsText(form.controls[i].detail);
        if (![field.stringValue isEqualToString:value]) field.stringValue = value;
        continue;
      }
      NSMutableArray* keep = [NSMutableArray array];
      NSView* made = makeRow(form.controls[i], keep);
      targets[i] = keep;
      if (at < views.count) {
        [views[at] removeFromSuperview];
      }
      [rows insertArrangedSubview:made atIndex:at];
    }
    shown = form;
    // The column is as tall as its rows need; the scroll view scrolls it.
    [rows setFrameSize:NSMakeSize(form.contentSize.width, rows.fittingSize.height)];
  }
};

MacFormHost::MacFormHost() : objects_(std::make_unique<Objects>()) {}

MacFormHost::~MacFormHost() {
  if (objects_->window) {
    objects_->window.delegate = nil;
    [objects_->window orderOut:nil];
  }
}

void MacFormHost::setHandlers(FormHandlers handlers) {
  objects_->handlers = std::move(handlers);
}

void MacFormHost::show(const FormWindow& form) {
  if (!objects_->window) objects_->makeWindow(form);
  update(form);
  [objects_->window makeKeyAndOrderFront:nil];
}

void MacFormHost::update(const FormWindow& form) {
  if (!objects_->window) return;
  objects_->window.title = nsText(form.title);
  objects_->showTabs(form);
  objects_->showRows(form);
}

bool MacFormHost::isVisible() const {
  return objects_->window && objects_->window.visible;
}

}  // namespace vistarail::macos
