#include "shell/status_item_controller.h"

#include "input/key_display.h"
#include "shell/shell_texts.h"

namespace vistarail {

using namespace shell;

std::shared_ptr<StatusItemController> StatusItemController::create(
    const ShellPorts& ports, const ShellParts& parts, std::shared_ptr<WindowManager> manager) {
  auto controller =
      std::make_shared<StatusItemController>(Token{}, ports, parts, std::move(manager));
  Menu menu;
  // Every row says itself whether it can be chosen.
  menu.autoenablesItems = false;
  std::weak_ptr<StatusItemController> weak = controller;
  controller->statusItem_->setMenu(std::move(menu), [weak](Menu& shown) {
    if (auto self = weak.lock()) shown.items = self->menuItems();
  });
  controller->refreshIcon();
  return controller;
}

StatusItemController::StatusItemController(Token, const ShellPorts& ports, const ShellParts& parts,
                                           std::shared_ptr<WindowManager> manager)
    : ports_(ports),
      parts_(parts),
      manager_(std::move(manager)),
      statusItem_(ports.statusBar.makeStatusItem(kSquareStatusItemLength)) {}

bool StatusItemController::trusted() {
  return ports_.ax.isProcessTrusted(TrustPrompt::none);
}

void StatusItemController::refreshIcon() {
  const bool active = parts_.settings.enabled.value() && trusted();
  auto image = ports_.statusBar.systemSymbol(active ? kSymbolActive : kSymbolInactive, kAppName);
  // An older system may lack the slashed symbol; the dimming still tells.
  if (!image) image = ports_.statusBar.systemSymbol(kSymbolActive, kAppName);
  if (image) image->isTemplate = true;
  statusItem_->setImage(image);
  statusItem_->setAppearsDisabled(!active);
  statusItem_->setToolTip(kTooltipPrefix + manager_->statusText());
}

MenuItem StatusItemController::item(std::string title, void (StatusItemController::*action)()) {
  MenuItem entry;
  entry.title = std::move(title);
  std::weak_ptr<StatusItemController> weak = weak_from_this();
  entry.perform = [weak, action] {
    if (auto self = weak.lock()) ((*self).*action)();
  };
  return entry;
}

MenuItem StatusItemController::shortcutItem(std::string title, Action action,
                                            void (StatusItemController::*perform)()) {
  MenuItem entry = item(title, perform);
  const Bindings& bindings = parts_.settings.bindings.value();
  auto it = bindings.find(action);
  // The global shortcut acts everywhere already: the menu only tells it, and
  // gets no key equivalent of its own.
  if (it != bindings.end() && !it->second.empty()) {
    entry.attributedTitle = {
        {title + "\t", LabelColor::label},
        {displayText(it->second.front(), ports_.keyboardLayout, ports_.text), LabelColor::secondaryLabel}};
  }
  return entry;
}

std::vector<MenuItem> StatusItemController::menuItems() {
  std::vector<MenuItem> items;
  MenuItem status;
  status.title = manager_->statusText();
  status.enabled = false;
  items.push_back(std::move(status));
  items.push_back(MenuItem::separator());
  if (!trusted()) {
    items.push_back(item(kGrantAccessibility, &StatusItemController::openAccessibility));
    items.push_back(MenuItem::separator());
  }
  const bool enabled = parts_.settings.enabled.value();
  items.push_back(shortcutItem(enabled ? kPause : kResume, Action::togglePause,
                               &StatusItemController::togglePause));
  items.push_back(shortcutItem(kRetile, Action::retile, &StatusItemController::retile));
  MenuItem carousel =
      shortcutItem(kCarousel, Action::toggleCarousel, &StatusItemController::toggleCarousel);
  carousel.checked = parts_.settings.carouselMode.value();
  items.push_back(std::move(carousel));
  items.push_back(MenuItem::separator());
  items.push_back(item(kMacSetup, &StatusItemController::openSetup));
  MenuItem settings = item(kSettings, &StatusItemController::openSettings);
  settings.keyEquivalent = ",";
  items.push_back(std::move(settings));
  items.push_back(item(kAbout, &StatusItemController::showAbout));
  MenuItem updates = item(kCheckForUpdates, &StatusItemController::checkForUpdates);
  updates.enabled = parts_.updates.canCheckForUpdates();
  items.push_back(std::move(updates));
  items.push_back(item(kPrivacyPolicy, &StatusItemController::showPrivacyPolicy));
  items.push_back(MenuItem::separator());
  MenuItem quitItem = item(kQuit, &StatusItemController::quit);
  quitItem.keyEquivalent = "q";
  items.push_back(std::move(quitItem));
  return items;
}

void StatusItemController::togglePause() {
  // The manager hears the change through its subscription and lets go of the
  // windows (or takes them again) on its own.
  parts_.settings.enabled.set(!parts_.settings.enabled.value());
  refreshIcon();
}

void StatusItemController::retile() {
  manager_->perform(Action::retile);
}

void StatusItemController::toggleCarousel() {
  parts_.settings.carouselMode.set(!parts_.settings.carouselMode.value());
}

void StatusItemController::openAccessibility() {
  (void)ports_.ax.isProcessTrusted(TrustPrompt::promptIfNeeded);
  (void)ports_.workspace.openURL(kAccessibilitySettingsURL);
}

void StatusItemController::openSetup() {
  parts_.settingsWindow.show(SettingsPage::setup);
}

void StatusItemController::openSettings() {
  parts_.settingsWindow.show(std::nullopt);
}

void StatusItemController::showAbout() {
  ports_.application.activate();
  ports_.application.orderFrontStandardAboutPanel();
}

void StatusItemController::checkForUpdates() {
  parts_.updates.checkForUpdates();
}

void StatusItemController::showPrivacyPolicy() {
  const auto url = ports_.bundle.urlForResource("PrivacyPolicy", "html");
  if (url && ports_.workspace.openURL(*url)) return;
  ports_.alerts.runModal({kPrivacyPolicyFailed, kPrivacyPolicyRetry, {}});
}

void StatusItemController::quit() {
  ports_.application.terminate();
}

}  // namespace vistarail
