#include "settings_ui/setup_check.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vistarail {
namespace {

DisplayInfo display(std::string id, Rect frame) {
  DisplayInfo info;
  info.id = std::move(id);
  info.name = info.id;
  info.frame = frame;
  info.visibleFrame = frame;
  return info;
}

SetupFacts trustedFacts() {
  SetupFacts facts;
  facts.trusted = true;
  facts.bundlePath = "/Applications/Vistarail.app";
  facts.homeDirectory = "/Users/ada";
  facts.displays = {display("main", {0, 0, 1512, 982})};
  facts.managedDisplayIDs = {"main"};
  facts.osVersion = {15, 1, 0};
  return facts;
}

std::vector<std::string> ids(const std::vector<SetupCheck>& rows) {
  std::vector<std::string> found;
  for (const SetupCheck& row : rows) found.push_back(row.id);
  return found;
}

const SetupCheck& row(const std::vector<SetupCheck>& rows, const std::string& id) {
  auto found = std::ranges::find(rows, id, &SetupCheck::id);
  EXPECT_NE(found, rows.end()) << id;
  return *found;
}

TEST(SetupChecks, RowsFollowTheFingerCountAndTheSystemVersion) {
  struct Case {
    int fingers;
    OSVersion os;
    std::vector<std::string> ids;
    const char* swipeTitle;
    const char* suggestion;
  };
  const Case cases[] = {
      {3,
       {15, 0, 0},
       {"ax", "location", "swipe", "threefinger", "stage", "tiling", "mru", "spaces", "others"},
       "3-finger swipe between full-screen apps is off",
       " or set it to four fingers"},
      {4,
       {15, 0, 0},
       {"ax", "location", "swipe", "stage", "tiling", "mru", "spaces", "others"},
       "4-finger swipe between full-screen apps is off",
       " or set it to three fingers"},
      {4,
       {14, 6, 1},
       {"ax", "location", "swipe", "stage", "mru", "spaces", "others"},
       "4-finger swipe between full-screen apps is off",
       " or set it to three fingers"},
  };
  for (const Case& c : cases) {
    SetupFacts facts = trustedFacts();
    facts.osVersion = c.os;
    const auto rows = currentChecks(c.fingers, facts);
    EXPECT_EQ(ids(rows), c.ids) << c.fingers;
    const SetupCheck& swipe = row(rows, "swipe");
    EXPECT_EQ(swipe.title, c.swipeTitle);
    EXPECT_EQ(swipe.detail,
              std::string("Check in Trackpad › More Gestures. Turn off “Swipe between full-screen "
                          "applications”") +
                  c.suggestion +
                  " so macOS doesn't switch Spaces when you swipe the strip. Vistarail does not "
                  "read this setting.");
    // The reminders cannot be read, so they are never green and always open a pane.
    for (const SetupCheck& r : rows) {
      if (r.id == "ax" || r.id == "location" || r.id == "others") continue;
      EXPECT_EQ(r.state, SetupCheck::State::info) << r.id;
      EXPECT_TRUE(r.hasFix()) << r.id;
    }
    EXPECT_EQ(*swipe.fixURL, settings_url::kTrackpad);
    EXPECT_EQ(*row(rows, "mru").fixTitle, "Open Desktop & Dock");
  }
}

TEST(SetupChecks, AccessibilityRowWarnsUntilTrusted) {
  SetupFacts facts = trustedFacts();
  facts.trusted = false;
  auto rows = currentChecks(4, facts);
  EXPECT_EQ(rows[0].state, SetupCheck::State::warning);
  EXPECT_EQ(rows[0].fixTitle, "Open Privacy Settings");
  EXPECT_EQ(rows[0].fixURL, settings_url::kAccessibility);
  EXPECT_EQ(warningCount(rows), 1);
  facts.trusted = true;
  rows = currentChecks(4, facts);
  EXPECT_EQ(rows[0].state, SetupCheck::State::ok);
  EXPECT_EQ(rows[0].detail, "Granted. Vistarail can move and resize windows.");
  EXPECT_FALSE(rows[0].hasFix());
  EXPECT_EQ(warningCount(rows), 0);
}

TEST(SetupChecks, LocationRowAcceptsBothApplicationsFolders) {
  const std::string movePlease =
      ". The Accessibility grant is tied to this location; move Vistarail to /Applications for a "
      "stable setup.";
  struct Case {
    std::string path;
    std::string home;
    SetupCheck::State state;
    std::string detail;
  };
  const Case cases[] = {
      {"/Applications/Vistarail.app", "/Users/ada", SetupCheck::State::ok,
       "Running from /Applications/Vistarail.app."},
      {"/Users/ada/Applications/Vistarail.app", "/Users/ada", SetupCheck::State::ok,
       "Running from /Users/ada/Applications/Vistarail.app."},
      {"/Users/ada/Applications/Vistarail.app", "/Users/ada/", SetupCheck::State::ok,
       "Running from /Users/ada/Applications/Vistarail.app."},
      {"/Users/ada/Downloads/Vistarail.app", "/Users/ada", SetupCheck::State::info,
       "Running from /Users/ada/Downloads/Vistarail.app" + movePlease},
      // Someone else's Applications folder is not the user's own.
      {"/Users/bob/Applications/Vistarail.app", "/Users/ada", SetupCheck::State::info,
       "Running from /Users/bob/Applications/Vistarail.app" + movePlease},
      {"/ApplicationsX/Vistarail.app", "/Users/ada", SetupCheck::State::info,
       "Running from /ApplicationsX/Vistarail.app" + movePlease},
  };
  for (const Case& c : cases) {
    SetupFacts facts = trustedFacts();
    facts.bundlePath = c.path;
    facts.homeDirectory = c.home;
    const SetupCheck location = currentChecks(4, facts)[1];
    EXPECT_EQ(location.id, "location");
    EXPECT_EQ(location.state, c.state) << c.path;
    EXPECT_EQ(location.detail, c.detail);
    EXPECT_FALSE(location.hasFix());
  }
}

TEST(SetupChecks, OtherWindowManagersAreNamedOnceAndSorted) {
  struct Case {
    std::vector<std::string> running;
    SetupCheck::State state;
    std::string detail;
  };
  const std::string fight = " — two window managers will fight over the same windows.";
  const Case cases[] = {
      {{"com.apple.Safari", "com.apple.finder"}, SetupCheck::State::ok, "None found."},
      {{"com.MrKai77.Loop", "com.MrKai77.Loop"}, SetupCheck::State::warning, "Quit Loop" + fight},
      {{"com.mizage.Divvy", "com.MrKai77.Loop", "bobko.aerospace", "com.MrKai77.Loop"},
       SetupCheck::State::warning,
       "Quit AeroSpace, Divvy, Loop" + fight},
      // Identifiers are matched exactly, as the system reports them.
      {{"com.knollsoft.rectangle"}, SetupCheck::State::ok, "None found."},
  };
  for (const Case& c : cases) {
    SetupFacts facts = trustedFacts();
    facts.runningBundleIDs = c.running;
    const auto rows = currentChecks(4, facts);
    const SetupCheck& others = row(rows, "others");
    EXPECT_EQ(others.state, c.state);
    EXPECT_EQ(others.detail, c.detail);
    EXPECT_FALSE(others.hasFix());
  }
  // Every application in the table is recognised under its own name.
  for (const ConflictingApplication& app : conflictingApplications()) {
    SetupFacts facts = trustedFacts();
    facts.runningBundleIDs = {std::string(app.bundleID)};
    EXPECT_EQ(row(currentChecks(4, facts), "others").detail,
              "Quit " + std::string(app.name) + fight);
  }
}

TEST(SetupChecks, DisplaysRowLooksAtTheSidesOfManagedDisplays) {
  const Rect main{0, 0, 1512, 982};
  struct Case {
    const char* name;
    Rect other;
    bool otherManagedOnly;  // only the other display is managed
    std::optional<SetupCheck::State> state;
  };
  const Case cases[] = {
      {"touching on the right", {1512, 0, 1920, 1080}, false, SetupCheck::State::info},
      {"touching on the left", {-1920, -100, 1920, 1080}, false, SetupCheck::State::info},
      {"within two points", {1513.5, 200, 1920, 1080}, false, SetupCheck::State::info},
      {"above", {0, -1080, 1920, 1080}, false, SetupCheck::State::ok},
      {"separated by a gap", {1600, 0, 1920, 1080}, false, SetupCheck::State::ok},
      {"beside but below the bottom edge", {1512, 982, 1920, 1080}, false, SetupCheck::State::ok},
      // The managed display is the one that needs room at its sides.
      {"beside, checked from the other", {1512, 0, 1920, 1080}, true, SetupCheck::State::info},
  };
  for (const Case& c : cases) {
    SetupFacts facts = trustedFacts();
    facts.displays = {display("main", main), display("other", c.other)};
    if (c.otherManagedOnly) facts.managedDisplayIDs = {"other"};
    const auto rows = currentChecks(4, facts);
    const SetupCheck& displays = row(rows, "displays");
    EXPECT_EQ(displays.state, *c.state) << c.name;
    EXPECT_EQ(displays.hasFix(), displays.state == SetupCheck::State::info) << c.name;
    if (displays.hasFix()) {
      EXPECT_EQ(*displays.fixURL, settings_url::kDisplays);
    }
    EXPECT_EQ(rows.back().id, "displays");
  }
  // No managed display: nothing can scroll onto a neighbour.
  SetupFacts facts = trustedFacts();
  facts.displays = {display("main", main), display("other", {1512, 0, 1920, 1080})};
  facts.managedDisplayIDs = {};
  EXPECT_EQ(row(currentChecks(4, facts), "displays").state, SetupCheck::State::ok);
  // One display: no row at all.
  facts.displays = {display("main", main)};
  EXPECT_EQ(ids(currentChecks(4, facts)).back(), "others");
}

}  // namespace
}  // namespace vistarail
