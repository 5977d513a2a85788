#pragma once
// The whole program as a person meets it, on a simulated desktop in virtual
// time: the process entry and its delegate over the simulated application,
// status bar, process and bundle, with the real settings store and window
// manager, and stand-ins for the settings window and the updater that record
// what the shell asked of them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/adapters/desktop.h"
#include "shell/app_delegate.h"
#include "shell/entry.h"
#include "shell/shell_texts.h"
#include "windows/display_info.h"

namespace vistarail::test {

// Keeps its page between shows, as the settings window does.
struct RecordingSettingsWindow : SettingsPresenter {
  std::vector<std::optional<SettingsPage>> requests;
  std::optional<SettingsPage> page;  // absent until first shown
  void show(std::optional<SettingsPage> requested) override {
    requests.push_back(requested);
    page = requested.value_or(page.value_or(SettingsPage::general));
  }
};

struct RecordingUpdates : UpdateControl {
  int starts = 0;
  int checks = 0;
  bool canCheck = true;
  void start() override { ++starts; }
  bool canCheckForUpdates() const override { return canCheck; }
  void checkForUpdates() override { ++checks; }
};

inline constexpr Rect kShellDisplay{0, 0, 1440, 900};

struct ShellDesk : sim::Desktop {
  std::unique_ptr<AppSettings> settings;
  RecordingSettingsWindow settingsWindow;
  RecordingUpdates updates;
  std::shared_ptr<AppDelegate> delegate;
  int managersMade = 0;

  ShellDesk() : sim::Desktop(5) {
    world.plugDisplay({.name = "Built-in",
                       .frame = kShellDisplay,
                       .visibleFrame = {0, 25, 1440, 840},
                       .uuid = "5e11de5c-0000-4000-8000-000000000001"});
  }
  ~ShellDesk() {
    delegate.reset();
    settings.reset();
  }

  // Starts the program the way the system does and lets the launch run.
  void launch(double settleSeconds = 0.5) {
    const auto displays = DisplayInfo::all(workspace, windowServer);
    settings = std::make_unique<AppSettings>(
        defaults, displays.empty() ? std::nullopt : std::optional<std::string>(displays[0].id));
    delegate = AppDelegate::create(
        {application, statusBar, process, bundle, alerts, workspace, ax, dispatch, keyboardLayout, text},
        {*settings, settingsWindow, updates, [this] {
           ++managersMade;
           return WindowManager::create(
               *settings, defaults,
               {ax, windowServer, workspace, dispatch, links, hotKeys, taps,
                process.processIdentifier(), nullptr, &overlayPanels, &text});
         }});
    runApplication(application, delegate, updates);
    dispatch.runFor(settleSeconds);
  }

  WindowManager& manager() { return *delegate->manager(); }
  const sim::StatusItemState& icon() { return *statusBar.item(); }
  std::string symbol() { return icon().image ? icon().image->symbolName : ""; }

  // Clicks the status item and returns the menu that opened.
  Menu openMenu() {
    statusBar.click();
    dispatch.runFor(0.01);
    return statusBar.lastOpenedMenu().value_or(Menu{});
  }
  // Opens the menu and chooses the item.
  void choose(const std::string& title, double settleSeconds = 0.05) {
    openMenu();
    statusBar.choose(title);
    dispatch.runFor(settleSeconds);
  }

  Pid launchApp(const std::string& name, sim::Behaviour behaviour = {}) {
    return world.launchApp(
        {.bundleIdentifier = "com.example." + name, .name = name, .behaviour = behaviour},
        sim::LaunchActivation::activates);
  }

  // Shown as "—" for a separator, "(title)" when disabled, "✓ title" when
  // checked; the attributed title's text when there is one.
  static std::vector<std::string> rows(const Menu& menu) {
    std::vector<std::string> result;
    for (const MenuItem& item : menu.items) {
      if (item.isSeparator) {
        result.push_back("\u2014");
        continue;
      }
      std::string row = item.displayedTitle();
      if (item.checked) row = "\u2713 " + row;
      if (!item.enabled) row = "(" + row + ")";
      result.push_back(row);
    }
    return result;
  }
  static const MenuItem* find(const Menu& menu, const std::string& title) {
    for (const MenuItem& item : menu.items) {
      if (!item.isSeparator && item.title == title) return &item;
    }
    return nullptr;
  }

  // Whether the window shows at least 40 points square on some display, as a
  // person would need to grab it.
  bool inView(sim::WindowKey key) const {
    const auto window = world.window(key);
    if (!window) return false;
    for (const auto& display : world.displays()) {
      const Rect part = window->frame.intersection(display.frame);
      if (!part.isNull() && part.width() >= 40 && part.height() >= 40) return true;
    }
    return false;
  }
};

}  // namespace vistarail::test
