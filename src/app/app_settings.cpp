#include "app/app_settings.h"

#include <algorithm>
#include <cmath>

#include "app/debouncer.h"

namespace vistarail {

AppSettings::AppSettings(Defaults& defaults, std::optional<std::string> initialDisplayID)
    : SettingsCore(defaults) {
  registerAndLoad(LoadContext{initialDisplayID});
  // A first run manages exactly the first display, and says so in storage at
  // once so a later launch with other displays keeps that choice.
  if (initialDisplayID && !defaults.object(managedDisplayIDs.key())) {
    managedDisplayIDs.writeBack();
  }
}

Subscription AppSettings::subscribeSettled(QueueRef queue, Task action) {
  return subscribeDebounced(willChange(), std::move(queue), kSettingsSettleSeconds,
                            std::move(action));
}

std::vector<std::string> AppSettings::keys() const {
  std::vector<std::string> keys;
  for (const SettingSlot* slot : slots()) keys.push_back(slot->key());
  return keys;
}

void AppSettings::setDisplayManaged(const std::string& displayID, DisplayManagement management) {
  Strings displays = managedDisplayIDs.value();
  if (management == DisplayManagement::managed) {
    if (std::find(displays.begin(), displays.end(), displayID) != displays.end()) return;
    displays.push_back(displayID);
  } else {
    std::erase(displays, displayID);
  }
  managedDisplayIDs.set(std::move(displays));
}

void AppSettings::adoptInitialDisplay(const std::optional<std::string>& displayID) {
  if (!displayID || defaults().object(managedDisplayIDs.key())) return;
  managedDisplayIDs.set({*displayID});
}

bool AppSettings::hasWidthPreset(double width) const {
  const Fractions& presets = widthPresets.value();
  return std::any_of(presets.begin(), presets.end(), [width](double preset) {
    return std::abs(preset - width) < kWidthPresetTolerance;
  });
}

void AppSettings::toggleWidthPreset(double width) {
  // A width that is no number can be neither found nor sorted in.
  if (!std::isfinite(width)) return;
  Fractions presets = widthPresets.value();
  const auto match = std::find_if(presets.begin(), presets.end(), [width](double preset) {
    return std::abs(preset - width) < kWidthPresetTolerance;
  });
  if (match != presets.end()) {
    if (presets.size() < 2) return;  // the cycle needs at least one width
    presets.erase(match);
  } else {
    presets.push_back(width);
    std::sort(presets.begin(), presets.end());
  }
  widthPresets.set(std::move(presets));
}

void AppSettings::addBinding(const KeyCombo& combo, Action action) {
  Bindings updated = bindings.value();
  assignCombo(updated, combo, action);
  bindings.set(std::move(updated));
}

void AppSettings::removeBinding(const KeyCombo& combo, Action action) {
  Bindings updated = bindings.value();
  removeCombo(updated, combo, action);
  bindings.set(std::move(updated));
}

}  // namespace vistarail
