#include <gtest/gtest.h>

#include "settings_desk.h"

namespace vistarail {
namespace {

using test::SettingsDesk;

TEST(Updates, AnotherBundleIdentifierHasNoUpdater) {
  SettingsDesk desk;
  desk.bundleID = "com.tolvane.vistarail.debug";
  desk.updates.start();
  EXPECT_EQ(desk.updaters.state().controllersMade, 0);
  EXPECT_FALSE(desk.updates.isAvailable.value());
  EXPECT_FALSE(desk.updates.validateMenuItem());
  desk.updates.checkForUpdates();
  EXPECT_EQ(desk.activations, 0);
  desk.open(SettingsTab::general);
  EXPECT_TRUE(desk.showsText("Automatic updates are available in the customer release."));
  EXPECT_FALSE(desk.control("Check for Updates…"));
  EXPECT_FALSE(desk.control("Automatically check for updates"));
}

TEST(Updates, AFailedStartIsShownInTheSettings) {
  SettingsDesk desk;
  desk.updaters.state().startFailure = "The feed URL is missing.";
  desk.updates.start();
  EXPECT_FALSE(desk.updates.isAvailable.value());
  EXPECT_EQ(desk.updates.startupError.value(), "Updates could not start. The feed URL is missing.");
  desk.open(SettingsTab::general);
  EXPECT_TRUE(desk.showsText("Updates could not start. The feed URL is missing."));
  EXPECT_FALSE(desk.showsText("Automatic updates are available in the customer release."));
}

TEST(Updates, StartsOnceAndMirrorsTheUpdater) {
  SettingsDesk desk;
  desk.updates.start();
  desk.updates.start();
  EXPECT_EQ(desk.updaters.state().controllersMade, 1);
  EXPECT_TRUE(desk.updaters.state().started);
  EXPECT_TRUE(desk.updates.isAvailable.value());
  EXPECT_TRUE(desk.updates.canCheckForUpdates.value());
  EXPECT_TRUE(desk.updates.automaticallyChecksForUpdates.value());
  EXPECT_FALSE(desk.updates.automaticallyDownloadsUpdates.value());

  SettingsWindow& window = desk.open(SettingsTab::general);
  EXPECT_TRUE(desk.control("Automatically check for updates")->isOn);
  // The toggle writes the updater's preference; the mirror follows it.
  window.operate("Automatically check for updates", false);
  EXPECT_FALSE(desk.updaters.state().values[1]);
  EXPECT_FALSE(desk.updates.automaticallyChecksForUpdates.value());
  EXPECT_FALSE(desk.control("Automatically check for updates")->isOn);
  window.operate("Download and install updates automatically", true);
  EXPECT_TRUE(desk.updates.automaticallyDownloadsUpdates.value());
  // A change the updater makes on its own shows too.
  desk.updaters.state().set(UpdaterProperty::automaticallyDownloadsUpdates, false);
  EXPECT_FALSE(desk.control("Download and install updates automatically")->isOn);
  EXPECT_TRUE(desk.showsText(
      "Updates are verified before installation. Downloaded updates install when you quit. "
      "Vistarail restores parked windows before exiting."));
}

TEST(Updates, ABusyUpdaterTakesNoCheck) {
  SettingsDesk desk;
  desk.updates.start();
  SettingsWindow& window = desk.open(SettingsTab::general);
  const int activations = desk.activations;
  desk.updaters.setBusy(true);
  EXPECT_FALSE(desk.updates.validateMenuItem());
  EXPECT_FALSE(desk.control("Check for Updates…")->enabled);
  EXPECT_FALSE(window.operate("Check for Updates…"));
  desk.updates.checkForUpdates();  // from a menu that was open before
  EXPECT_EQ(desk.activations, activations);
  EXPECT_EQ(desk.updaters.state().checksShown, 0);

  desk.updaters.setBusy(false);
  EXPECT_TRUE(desk.updates.validateMenuItem());
  EXPECT_TRUE(window.operate("Check for Updates…"));
  EXPECT_EQ(desk.activations, activations + 1);  // the updater's window comes forward
  EXPECT_EQ(desk.updaters.state().checksShown, 1);
}

TEST(Updates, TheAboutSectionShowsTheVersion) {
  SettingsDesk desk;
  desk.open();
  EXPECT_EQ(desk.control("Version")->valueText, "1.4 (212)");
}

}  // namespace
}  // namespace vistarail
