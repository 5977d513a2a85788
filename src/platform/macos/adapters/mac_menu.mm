#include "platform/macos/adapters/mac_menu.h"

#include <functional>
#include <utility>

#include "platform/macos/adapters/objc_bridge.h"
#include "platform/macos/shell_translation.h"

// The target of items with an action of the program's: performs it, and
// answers validation from the item's own `validate` while the menu enables
// items automatically.
@interface VRMenuAction : NSObject <NSMenuItemValidation>
- (instancetype)initWithPerform:(std::function<void()>)perform
                       validate:(std::function<bool()>)validate;
- (void)perform:(id)sender;
@end

@implementation VRMenuAction {
  std::function<void()> _perform;
  std::function<bool()> _validate;
}

- (instancetype)initWithPerform:(std::function<void()>)perform
                       validate:(std::function<bool()>)validate {
  if ((self = [super init])) {
    _perform = std::move(perform);
    _validate = std::move(validate);
  }
  return self;
}

- (void)perform:(id)sender {
  (void)sender;
  if (_perform) _perform();
}

- (BOOL)validateMenuItem:(NSMenuItem*)menuItem {
  (void)menuItem;
  return _validate ? _validate() : YES;
}

@end

namespace vistarail::macos {

namespace {

static_assert(kMenuShiftKey == NSEventModifierFlagShift &&
                  kMenuControlKey == NSEventModifierFlagControl &&
                  kMenuOptionKey == NSEventModifierFlagOption &&
                  kMenuCommandKey == NSEventModifierFlagCommand,
              "the port's key-equivalent flags are the event flags' bits");

NSColor* colorOf(LabelColor color) {
  return color == LabelColor::secondaryLabel ? NSColor.secondaryLabelColor : NSColor.labelColor;
}

NSAttributedString* attributedTitle(const std::vector<MenuTextRun>& runs) {
  NSMutableAttributedString* title = [[NSMutableAttributedString alloc] init];
  NSFont* font = [NSFont menuFontOfSize:0];
  for (const MenuTextRun& run : runs) {
    NSString* text = nsString(run.text);
    if (!text) continue;
    [title appendAttributedString:[[NSAttributedString alloc]
                                      initWithString:text
                                          attributes:@{
                                            NSFontAttributeName : font,
                                            NSForegroundColorAttributeName : colorOf(run.color)
                                          }]];
  }
  return title;
}

NSMenuItem* makeItem(const MenuItem& item) {
  if (item.isSeparator) return [NSMenuItem separatorItem];
  NSMenuItem* made = [[NSMenuItem alloc] initWithTitle:nsText(item.title)
                                                action:nil
                                         keyEquivalent:nsText(item.keyEquivalent)];
  if (!item.attributedTitle.empty()) made.attributedTitle = attributedTitle(item.attributedTitle);
  made.keyEquivalentModifierMask =
      static_cast<NSEventModifierFlags>(menuKeyEquivalentModifiers(item.keyEquivalentModifiers));
  made.state = item.checked ? NSControlStateValueOn : NSControlStateValueOff;
  made.enabled = item.enabled;
  if (!item.submenu.empty() || !item.submenuTitle.empty()) {
    Menu sub;
    sub.title = item.submenuTitle;
    sub.items = item.submenu;
    made.submenu = makeNSMenu(sub);
    return made;
  }
  if (item.perform) {
    VRMenuAction* action = [[VRMenuAction alloc] initWithPerform:item.perform
                                                        validate:item.validate];
    made.target = action;
    made.action = @selector(perform:);
    made.representedObject = action;  // the target is held weakly
  } else if (!item.selector.empty()) {
    NSString* selector = nsString(item.selector);
    if (selector) made.action = NSSelectorFromString(selector);
  }
  return made;
}

}  // namespace

NSMenu* makeNSMenu(const Menu& menu) {
  NSMenu* made = [[NSMenu alloc] initWithTitle:nsText(menu.title)];
  fillNSMenu(made, menu);
  return made;
}

void fillNSMenu(NSMenu* target, const Menu& menu) {
  [target removeAllItems];
  target.autoenablesItems = menu.autoenablesItems;
  for (const MenuItem& item : menu.items) [target addItem:makeItem(item)];
}

}  // namespace vistarail::macos
