#pragma once
// Menus as the platform's menu objects hold them: items with a title or an
// attributed title, a key equivalent, a check mark, an enabled flag and an
// action, separators, and submenus (the main menu is a menu of submenus).
//
// An item's action goes to its target (`perform`) when it has one; items of
// the standard editing commands carry only the selector name and go down the
// responder chain of whatever window is key.
//
// With automatic enabling on (the platform's default) a menu asks each item's
// `validate` as it opens and ignores `enabled`; with it off, `enabled` is
// what shows.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vistarail {

// Key-equivalent modifier flags, with the event flags' bit values.
inline constexpr uint64_t kMenuShiftKey = 1ULL << 17;
inline constexpr uint64_t kMenuControlKey = 1ULL << 18;
inline constexpr uint64_t kMenuOptionKey = 1ULL << 19;
inline constexpr uint64_t kMenuCommandKey = 1ULL << 20;

// The semantic text colours menus use.
enum class LabelColor { label, secondaryLabel };

// One run of an attributed title, in the menu font.
struct MenuTextRun {
  std::string text{};
  LabelColor color = LabelColor::label;
  friend bool operator==(const MenuTextRun&, const MenuTextRun&) = default;
};

struct MenuItem {
  bool isSeparator = false;
  std::string title{};
  // Shown instead of the title when not empty.
  std::vector<MenuTextRun> attributedTitle{};
  std::string keyEquivalent{};  // "q", "," ...; empty for none
  uint64_t keyEquivalentModifiers = kMenuCommandKey;
  bool checked = false;
  bool enabled = true;
  std::string selector{};            // the action's name, "terminate:", "copy:", ...
  std::function<void()> perform{};   // the target's action; empty: the responder chain
  std::function<bool()> validate{};  // asked while automatic enabling is on
  // A submenu: its title and items (empty for a plain item).
  std::string submenuTitle{};
  std::vector<MenuItem> submenu{};

  static MenuItem separator() {
    MenuItem item;
    item.isSeparator = true;
    return item;
  }
  // What a person reads: the attributed title's text when there is one.
  std::string displayedTitle() const {
    if (attributedTitle.empty()) return title;
    std::string text;
    for (const MenuTextRun& run : attributedTitle) text += run.text;
    return text;
  }
};

struct Menu {
  std::string title;
  bool autoenablesItems = true;
  std::vector<MenuItem> items;
};

}  // namespace vistarail
