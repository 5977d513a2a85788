#include "shell/entry.h"

#include "shell/shell_texts.h"

namespace vistarail {
namespace {

MenuItem command(std::string title, std::string selector, std::string key,
                 uint64_t modifiers = kMenuCommandKey) {
  MenuItem item;
  item.title = std::move(title);
  item.selector = std::move(selector);
  item.keyEquivalent = std::move(key);
  item.keyEquivalentModifiers = modifiers;
  return item;
}

MenuItem submenu(std::string title, std::vector<MenuItem> items) {
  MenuItem item;
  item.title = title;
  item.submenuTitle = std::move(title);
  item.submenu = std::move(items);
  return item;
}

}  // namespace

Menu mainMenu(UpdateControl& updates) {
  MenuItem check = command(shell::kCheckForUpdates, "checkForUpdates:", "");
  check.perform = [&updates] { updates.checkForUpdates(); };
  check.validate = [&updates] { return updates.canCheckForUpdates(); };

  Menu menu;
  menu.items.push_back(submenu(shell::kAppName, {std::move(check), MenuItem::separator(),
                                                 command(shell::kQuit, "terminate:", "q")}));
  menu.items.push_back(submenu(
      "Edit", {command("Undo", "undo:", "z"),
               command("Redo", "redo:", "z", kMenuShiftKey | kMenuCommandKey),
               MenuItem::separator(), command("Cut", "cut:", "x"), command("Copy", "copy:", "c"),
               command("Paste", "paste:", "v"), command("Select All", "selectAll:", "a")}));
  return menu;
}

void runApplication(Application& application, const std::shared_ptr<AppDelegate>& delegate,
                    UpdateControl& updates) {
  application.setDelegate(delegate);
  application.setActivationPolicy(ActivationPolicy::accessory);
  application.setMainMenu(mainMenu(updates));
  application.run();
}

}  // namespace vistarail
