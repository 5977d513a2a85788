#pragma once
// AppSettings: every user preference of the program, in one observable store
// over the per-user defaults domain.
//
// Values are read once, at construction, and each assignment is written back
// at once; nothing is read back later, so changes another process makes to
// the domain are seen at the next launch. Everything else names preferences
// by the property names below; only this file knows their keys, stored forms,
// defaults and load treatment. Main queue only.
//
// Publication: every assignment first fires willChange(), then the setting's
// own subscribers get the new value. subscribeSettled() collapses bursts (a
// dragged slider) into one call once they have been quiet for 60 ms.

#include <optional>
#include <string>
#include <vector>

#include "app/setting.h"
#include "app/stored_formats.h"
#include "input/bindings.h"
#include "platform/dispatch.h"
#include "strip/center_mode.h"

namespace vistarail {

// Quiet time after which subscribeSettled() reports a burst of changes.
inline constexpr double kSettingsSettleSeconds = 0.060;
// Two preset widths this close are the same preset.
inline constexpr double kWidthPresetTolerance = 0.005;

enum class DisplayManagement { managed, unmanaged };

class AppSettings : private SettingsCore {
  using Strings = std::vector<std::string>;
  using Fractions = std::vector<double>;

 public:
  // Registers the defaults and loads every setting. initialDisplayID is the
  // first display found at launch, if any: a first run manages exactly it.
  AppSettings(Defaults& defaults, std::optional<std::string> initialDisplayID);
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  // clang-format off
  // Property, then defaults key, stored form, default, and treatment on load.
  // Doubles without a range are taken as stored.
  Setting<bool>       enabled             {*this, "enabled",              storedBool(true)};
  Setting<Strings>    managedDisplayIDs   {*this, "managedDisplayIDs.v1", storedDisplayList()};
  Setting<bool>       animations          {*this, "animations",           storedBool(true)};
  Setting<double>     animationSpeed      {*this, "animationSpeed",       storedNumber(1.8, ClampRange{0.5, 3.0})};
  Setting<double>     innerGap            {*this, "innerGap",             storedNumber(8.0)};   // points
  Setting<double>     outerGap            {*this, "outerGap",             storedNumber(8.0)};   // points
  Setting<Fractions>  widthPresets        {*this, "widthPresets",         storedNumberList({0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75}, /*fallback=*/{0.5})};
  Setting<double>     newWindowWidth      {*this, "newWindowWidth",       storedNumber(0.5)};   // 0: keep own width
  Setting<CenterMode> centerMode          {*this, "centerMode",           storedCenterMode(CenterMode::never)};
  Setting<bool>       swipeEnabled        {*this, "swipeEnabled",         storedBool(true)};
  Setting<int>        swipeFingers        {*this, "swipeFingers",         storedChoice(4, {3, 4})};
  Setting<double>     swipeSensitivity    {*this, "swipeSensitivity",     storedNumber(1.6)};
  Setting<bool>       invertSwipe         {*this, "invertSwipe",          storedBool(false)};
  Setting<bool>       modifierScroll      {*this, "modifierScroll",       storedBool(true)};
  Setting<Strings>    floatingBundleIDs   {*this, "floatingBundleIDs",    storedStringList({"com.apple.systempreferences", "com.apple.calculator", "com.apple.Passwords"})};
  Setting<Bindings>   bindings            {*this, "bindings.v1",          storedBindings()};
  Setting<bool>       showMinimap         {*this, "showMinimap",          storedBool(true)};
  Setting<bool>       showFocusBorder     {*this, "showFocusBorder",      storedBool(true)};
  Setting<double>     focusBorderWidth    {*this, "focusBorderWidth",     storedNumber(3.0)};   // points
  Setting<bool>       showEdgeArrows      {*this, "showEdgeArrows",       storedBool(true)};
  Setting<bool>       dimInactive         {*this, "dimInactive",          storedBool(false)};
  Setting<double>     dimAmount           {*this, "dimAmount",            storedNumber(0.35, ClampRange{0.1, 0.8})};
  Setting<bool>       carouselMode        {*this, "carouselMode",         storedBool(false)};
  Setting<double>     carouselCenterWidth {*this, "carouselCenterWidth",  storedNumber(0.75, ClampRange{0.5, 0.95})};
  Setting<double>     carouselSideHeight  {*this, "carouselSideHeight",   storedNumber(0.7, ClampRange{0.4, 0.9})};
  // clang-format on

  static constexpr size_t kSettingCount = 25;

  // Fires before every assignment of any setting.
  using SettingsCore::willChange;
  // Calls `action` on `queue` once assignments have stopped for
  // kSettingsSettleSeconds; a burst gives one call.
  [[nodiscard]] Subscription subscribeSettled(QueueRef queue, Task action);

  // The defaults key of every setting, in declaration order.
  std::vector<std::string> keys() const;

  // Adds the display at the end of managedDisplayIDs (nothing if present), or
  // removes every occurrence of it.
  void setDisplayManaged(const std::string& displayID, DisplayManagement management);
  // A first-run default once a display is known: manages it when the user
  // has never stored a choice (not even an empty one).
  void adoptInitialDisplay(const std::optional<std::string>& displayID);

  // True when a preset lies within kWidthPresetTolerance of the width.
  bool hasWidthPreset(double width) const;
  // Removes the first preset within the tolerance, unless it is the last one
  // left; otherwise adds the width and sorts the presets ascending.
  void toggleWidthPreset(double width);

  // Moves the combo to the end of the action's shortcuts, taking it from any
  // other action.
  void addBinding(const KeyCombo& combo, Action action);
  // Removes the combo from that action only.
  void removeBinding(const KeyCombo& combo, Action action);
};

}  // namespace vistarail
