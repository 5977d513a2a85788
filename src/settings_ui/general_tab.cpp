#include "settings_ui/general_tab.h"

#include <algorithm>
#include <cmath>

namespace vistarail {

namespace {

std::string displayDetail(const DisplayInfo& display) {
  const std::string size = std::to_string(std::llround(display.frame.width())) + " × " +
                           std::to_string(std::llround(display.frame.height()));
  return display.isPrimary ? "Main display · " + size : size;
}

}  // namespace

GeneralTab::GeneralTab(SettingsContext& context) : context_(context) {
  launchAtLogin_ = context_.loginItem.status() == LoginItemStatus::enabled;
  readDisplays();
  if (context_.services.observeScreenParameters)
    screens_ = context_.services.observeScreenParameters([this] { readDisplays(); });
}

void GeneralTab::readDisplays() {
  displays_ =
      context_.services.displays ? context_.services.displays() : std::vector<DisplayInfo>{};
}

void GeneralTab::setLaunchAtLogin(bool on) {
  std::optional<std::string> failure =
      on ? context_.loginItem.registerItem() : context_.loginItem.unregisterItem();
  if (failure) {
    loginError_ = std::move(failure);
    launchAtLogin_ = context_.loginItem.status() == LoginItemStatus::enabled;
    return;
  }
  loginError_.reset();
  launchAtLogin_ = on;
}

Controls GeneralTab::controls() {
  AppSettings& s = context_.settings;
  Controls controls;
  controls.push_back(toggle("Arrange windows on a scrolling strip", s.enabled));
  controls.push_back(paragraph(
      "Windows on each selected display sit side by side on an endless horizontal strip "
      "between the menu bar and the Dock. Swipe or use shortcuts to scroll through them."));
  Control login;
  login.view.kind = FormControlKind::toggle;
  login.view.id = login.view.label = "Launch at login";
  login.view.isOn = launchAtLogin_;
  login.act = [this](const ControlInput& input) {
    if (const bool* on = std::get_if<bool>(&input)) setLaunchAtLogin(*on);
  };
  controls.push_back(std::move(login));
  if (loginError_) controls.push_back(paragraph(*loginError_, FormTone::error));
  controls.push_back(toggle("Animate scrolling and rearranging", s.animations));
  controls.push_back(slider("Animation speed", s.animationSpeed, 0.5, 3.0, 0.1, timesFormat));
  addDisplays(controls);
  controls.push_back(sectionHeader("Focus"));
  controls.push_back(picker<CenterMode>("When a window gets focus", s.centerMode,
                                        {{"Always center", CenterMode::always},
                                         {"Center when it doesn't fit", CenterMode::onOverflow},
                                         {"Scroll just enough", CenterMode::never}}));
  controls.push_back(sectionHeader("New windows"));
  Control width = picker<double>(
      "Width of new windows", s.newWindowWidth,
      {{"One third", 1.0 / 3},
       {"Half", 0.5},
       {"Two thirds", 2.0 / 3},
       {"Full width", 1.0},
       {"Keep the window's own width", 0.0}},
      [](const double& a, const double& b) { return std::abs(a - b) < kWidthPresetTolerance; });
  // A width stored by hand that no option names is still shown.
  if (width.view.selected < 0)
    width.view.valueText = std::to_string(std::llround(s.newWindowWidth.value() * 100)) + "%";
  controls.push_back(std::move(width));
  controls.push_back(
      paragraph("New windows open right next to the focused one, so nothing gets covered."));
  addAbout(controls);
  return controls;
}

void GeneralTab::addDisplays(Controls& controls) {
  AppSettings& s = context_.settings;
  controls.push_back(sectionHeader("Displays"));
  controls.push_back(
      paragraph("Choose which displays Vistarail manages. Each has its own strip. Your choices "
                "are remembered when displays reconnect."));
  if (displays_.empty()) {
    controls.push_back(paragraph("No displays connected."));
    return;
  }
  bool anyManaged = false;
  for (const DisplayInfo& display : displays_) {
    const auto& managed = s.managedDisplayIDs.value();
    const bool on = std::ranges::find(managed, display.id) != managed.end();
    anyManaged = anyManaged || on;
    Control control;
    control.view.kind = FormControlKind::toggle;
    control.view.id = "display." + display.id;
    control.view.label = display.name;
    control.view.detail = displayDetail(display);
    control.view.isOn = on;
    control.act = [&s, id = display.id](const ControlInput& input) {
      if (const bool* value = std::get_if<bool>(&input))
        s.setDisplayManaged(id, *value ? DisplayManagement::managed : DisplayManagement::unmanaged);
    };
    controls.push_back(std::move(control));
  }
  if (!anyManaged)
    controls.push_back(paragraph("No connected displays selected. Vistarail is idle."));
}

void GeneralTab::addAbout(Controls& controls) {
  controls.push_back(sectionHeader("About"));
  Control version;
  version.view.kind = FormControlKind::valueRow;
  version.view.id = version.view.label = "Version";
  version.view.valueText = context_.services.versionText ? context_.services.versionText() : "—";
  controls.push_back(std::move(version));
  controls.push_back(button("Privacy Policy…", [this] {
    if (context_.services.showPrivacyPolicy) context_.services.showPrivacyPolicy();
  }));
  UpdateManager& updates = context_.updates;
  if (!updates.isAvailable.value()) {
    controls.push_back(paragraph(updates.startupError.value().value_or(
                                     "Automatic updates are available in the customer release."),
                                 FormTone::caption));
    return;
  }
  Control checks;
  checks.view.kind = FormControlKind::toggle;
  checks.view.id = checks.view.label = "Automatically check for updates";
  checks.view.isOn = updates.automaticallyChecksForUpdates.value();
  checks.act = [&updates](const ControlInput& input) {
    if (const bool* on = std::get_if<bool>(&input)) updates.setAutomaticallyChecksForUpdates(*on);
  };
  controls.push_back(std::move(checks));
  Control downloads;
  downloads.view.kind = FormControlKind::toggle;
  downloads.view.id = downloads.view.label = "Download and install updates automatically";
  downloads.view.isOn = updates.automaticallyDownloadsUpdates.value();
  downloads.act = [&updates](const ControlInput& input) {
    if (const bool* on = std::get_if<bool>(&input)) updates.setAutomaticallyDownloadsUpdates(*on);
  };
  controls.push_back(std::move(downloads));
  Control check = button("Check for Updates…", [&updates] { updates.checkForUpdates(); });
  check.view.enabled = updates.validateMenuItem();
  controls.push_back(std::move(check));
  controls.push_back(
      paragraph("Updates are verified before installation. Downloaded updates install when you "
                "quit. Vistarail restores parked windows before exiting."));
}

}  // namespace vistarail
