#include "settings_ui/setup_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

namespace vistarail {

namespace {

// Identifiers quoted by the applications' makers; where one is not printed on
// the maker's site it was read from a published build:
// - AeroSpace: "bobko.aerospace", the CFBundleIdentifier of AeroSpace.app's
//   Info.plist and the preferences domain its Homebrew cask zaps.
// - BetterSnapTool: "com.hegenberg.BetterSnapTool", its preferences domain
//   (~/Library/Preferences/com.hegenberg.BetterSnapTool.plist) as written by
//   the app and configured in many published dotfiles.
// - AltTab: "com.lwouis.alt-tab-macos", the identifier of the AltTab
//   application, which is the process that moves windows.
// - Loop: "com.MrKai77.Loop", PRODUCT_BUNDLE_IDENTIFIER of both configurations
//   in the Loop Xcode project and the identifier its Homebrew cask quits.
constexpr std::array<ConflictingApplication, 11> kConflicting{{
    {"com.knollsoft.Rectangle", "Rectangle"},
    {"com.knollsoft.Hookshot", "Hookshot"},
    {"com.crowdcafe.windowmagnet", "Magnet"},
    {"com.amethyst.Amethyst", "Amethyst"},
    {"bobko.aerospace", "AeroSpace"},
    {"com.manytricks.Moom", "Moom"},
    {"com.hegenberg.BetterSnapTool", "BetterSnapTool"},
    {"com.lwouis.alt-tab-macos", "AltTab"},
    {"com.chainyourmac.app", "ChainYourMac"},
    {"com.mizage.Divvy", "Divvy"},
    {"com.MrKai77.Loop", "Loop"},
}};

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// A home directory given with a trailing slash still matches its own
// Applications folder.
std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

SetupCheck accessibilityRow(bool trusted) {
  if (trusted)
    return {"ax",
            "Accessibility permission",
            "Granted. Vistarail can move and resize windows.",
            SetupCheck::State::ok,
            std::nullopt,
            std::nullopt};
  return {"ax",
          "Accessibility permission",
          "Required to move other apps' windows. Enable Vistarail in Privacy & Security › "
          "Accessibility.",
          SetupCheck::State::warning,
          "Open Privacy Settings",
          settings_url::kAccessibility};
}

SetupCheck locationRow(const std::string& path, const std::string& home) {
  const std::string userApplications = withoutTrailingSlashes(home) + "/Applications/";
  const bool installed =
      startsWith(path, "/Applications/") || (!home.empty() && startsWith(path, userApplications));
  if (installed)
    return {"location",
            "Installed in Applications",
            "Running from " + path + ".",
            SetupCheck::State::ok,
            std::nullopt,
            std::nullopt};
  return {"location",
          "Installed in Applications",
          "Running from " + path +
              ". The Accessibility grant is tied to this location; move Vistarail to "
              "/Applications for a stable setup.",
          SetupCheck::State::info,
          std::nullopt,
          std::nullopt};
}

SetupCheck reminder(std::string id, std::string title, std::string detail, const char* fixTitle,
                    const char* url) {
  return {std::move(id),           std::move(title), std::move(detail),
          SetupCheck::State::info, fixTitle,         std::string(url)};
}

SetupCheck othersRow(const std::vector<std::string>& running) {
  std::set<std::string> names;  // sorted, each once
  for (const std::string& id : running) {
    for (const ConflictingApplication& app : kConflicting) {
      if (app.bundleID == id) names.insert(std::string(app.name));
    }
  }
  if (names.empty())
    return {"others",      "No other window manager running",
            "None found.", SetupCheck::State::ok,
            std::nullopt,  std::nullopt};
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
  return {"others",
          "No other window manager running",
          "Quit " + joined + " — two window managers will fight over the same windows.",
          SetupCheck::State::warning,
          std::nullopt,
          std::nullopt};
}

SetupCheck displaysRow(const SetupFacts& facts) {
  bool beside = false;
  for (const DisplayInfo& managed : facts.displays) {
    if (std::ranges::find(facts.managedDisplayIDs, managed.id) == facts.managedDisplayIDs.end())
      continue;
    for (const DisplayInfo& other : facts.displays) {
      if (other.id != managed.id && sitsBeside(other.frame, managed.frame)) beside = true;
    }
  }
  if (beside)
    return {"displays",
            "Space beside managed displays for scrolling",
            "A display sits beside a managed screen, so scrolling windows may briefly appear on "
            "its neighbor. Arrange displays above or below each other for the cleanest result.",
            SetupCheck::State::info,
            "Open Displays",
            settings_url::kDisplays};
  return {"displays",
          "Space beside managed displays for scrolling",
          "Managed displays have room at their sides for scrolling.",
          SetupCheck::State::ok,
          std::nullopt,
          std::nullopt};
}

}  // namespace

std::span<const ConflictingApplication> conflictingApplications() {
  return kConflicting;
}

bool sitsBeside(const Rect& other, const Rect& managed) {
  const bool touching =
      std::abs(other.minX() - managed.maxX()) < 2 || std::abs(other.maxX() - managed.minX()) < 2;
  const bool heightsOverlap =
      std::max(other.minY(), managed.minY()) < std::min(other.maxY(), managed.maxY());
  return touching && heightsOverlap;
}

std::vector<SetupCheck> currentChecks(int swipeFingers, const SetupFacts& facts) {
  const bool three = swipeFingers == 3;
  std::vector<SetupCheck> rows;
  rows.push_back(accessibilityRow(facts.trusted));
  rows.push_back(locationRow(facts.bundlePath, facts.homeDirectory));
  rows.push_back(reminder(
      "swipe", std::to_string(swipeFingers) + "-finger swipe between full-screen apps is off",
      std::string("Check in Trackpad › More Gestures. Turn off “Swipe between full-screen "
                  "applications”") +
          (three ? " or set it to four fingers" : " or set it to three fingers") +
          " so macOS doesn't switch Spaces when you swipe the strip. Vistarail does not read "
          "this setting.",
      "Open Trackpad Settings", settings_url::kTrackpad));
  if (three)
    rows.push_back(reminder("threefinger", "Three-finger drag and page swipe are off",
                            "Check Three Finger Drag in Accessibility › Pointer Control and "
                            "“Swipe between pages” in Trackpad. Either can intercept three-finger "
                            "swipes. Vistarail does not read these settings.",
                            "Open Trackpad Settings", settings_url::kTrackpad));
  rows.push_back(reminder("stage", "Stage Manager is off",
                          "Check in Desktop & Dock. Stage Manager rearranges windows on its own "
                          "and can conflict with the strip. Vistarail does not read this setting.",
                          "Open Desktop & Dock", settings_url::kDesktopAndDock));
  if (facts.osVersion.major >= 15)
    rows.push_back(reminder("tiling", "macOS window tiling is off",
                            "Check Desktop & Dock › Windows. Turn off “Drag windows to screen "
                            "edges/menu bar to tile” to avoid conflicts with the strip. Vistarail "
                            "does not read these settings.",
                            "Open Desktop & Dock", settings_url::kDesktopAndDock));
  rows.push_back(reminder("mru", "Spaces aren't rearranged automatically",
                          "Check Desktop & Dock › Mission Control. Turn off “Automatically "
                          "rearrange Spaces based on most recent use” so each Space keeps its own "
                          "strip. Vistarail does not read this setting.",
                          "Open Desktop & Dock", settings_url::kDesktopAndDock));
  rows.push_back(reminder("spaces", "Displays have separate Spaces",
                          "Check Desktop & Dock › Mission Control. Turn on “Displays have "
                          "separate Spaces” (requires logging out). Vistarail does not read this "
                          "setting.",
                          "Open Desktop & Dock", settings_url::kDesktopAndDock));
  rows.push_back(othersRow(facts.runningBundleIDs));
  if (facts.displays.size() >= 2) rows.push_back(displaysRow(facts));
  return rows;
}

int warningCount(std::span<const SetupCheck> checks) {
  return static_cast<int>(
      std::ranges::count(checks, SetupCheck::State::warning, &SetupCheck::state));
}

}  // namespace vistarail
