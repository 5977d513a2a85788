#include "platform/macos/adapters/mac_status_bar.h"

#import <AppKit/AppKit.h>

#include <utility>

#include "platform/macos/adapters/mac_menu.h"
#include "platform/macos/adapters/objc_bridge.h"

// The status menu's delegate: asks the program for the menu as it should
// open and puts it in place, in the same NSMenu, before it shows.
@interface VRStatusMenuDelegate : NSObject <NSMenuDelegate>
- (instancetype)initWithMenu:(vistarail::Menu)menu
                 needsUpdate:(std::function<void(vistarail::Menu&)>)needsUpdate;
@end

@implementation VRStatusMenuDelegate {
  vistarail::Menu _menu;
  std::function<void(vistarail::Menu&)> _needsUpdate;
}

- (instancetype)initWithMenu:(vistarail::Menu)menu
                 needsUpdate:(std::function<void(vistarail::Menu&)>)needsUpdate {
  if ((self = [super init])) {
    _menu = std::move(menu);
    _needsUpdate = std::move(needsUpdate);
  }
  return self;
}

- (void)menuNeedsUpdate:(NSMenu*)menu {
  if (_needsUpdate) _needsUpdate(_menu);
  vistarail::macos::fillNSMenu(menu, _menu);
}

@end

namespace vistarail::macos {

namespace {

NSImage* symbolImage(const SymbolImage& image) {
  NSString* name = nsString(image.symbolName);
  if (!name) return nil;
  NSImage* made = [NSImage imageWithSystemSymbolName:name
                            accessibilityDescription:nsString(image.accessibilityDescription)];
  [made setTemplate:image.isTemplate];
  return made;
}

class MacStatusItem final : public StatusItem {
 public:
  explicit MacStatusItem(NSStatusItem* item) : item_(item) {}
  ~MacStatusItem() override { [NSStatusBar.systemStatusBar removeStatusItem:item_]; }

  void setImage(std::optional<SymbolImage> image) override {
    item_.button.image = image ? symbolImage(*image) : nil;
  }
  void setAppearsDisabled(bool appearsDisabled) override {
    item_.button.appearsDisabled = appearsDisabled;
  }
  void setToolTip(std::string toolTip) override { item_.button.toolTip = nsString(toolTip); }
  void setMenu(Menu menu, std::function<void(Menu&)> needsUpdate) override {
    NSMenu* made = makeNSMenu(menu);
    // The menu's delegate is weak: the item keeps it.
    delegate_ = [[VRStatusMenuDelegate alloc] initWithMenu:std::move(menu)
                                               needsUpdate:std::move(needsUpdate)];
    made.delegate = delegate_;
    item_.menu = made;
  }

 private:
  NSStatusItem* item_;
  VRStatusMenuDelegate* delegate_ = nil;
};

}  // namespace

std::unique_ptr<StatusItem> MacStatusBar::makeStatusItem(double length) {
  NSStatusItem* item = [NSStatusBar.systemStatusBar statusItemWithLength:length];
  return std::make_unique<MacStatusItem>(item);
}

std::optional<SymbolImage> MacStatusBar::systemSymbol(const std::string& name,
                                                      const std::string& accessibilityDescription) {
  NSString* symbol = nsString(name);
  if (!symbol || ![NSImage imageWithSystemSymbolName:symbol accessibilityDescription:nil])
    return std::nullopt;
  return SymbolImage{name, accessibilityDescription, false};
}

}  // namespace vistarail::macos
