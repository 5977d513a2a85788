#include "app/settings_table.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace vistarail {

namespace {

using Json = nlohmann::json;

enum class Type { boolean, number, integer, strings, numbers, centerMode };

struct Entry {
  const char* property;
  Type type;
  std::function<void(AppSettings&, const Json&)> assign;
  std::function<Json(const AppSettings&)> read;
};

template <class T>
Entry entry(const char* property, Type type, Setting<T> AppSettings::*member) {
  return {property, type,
          [member](AppSettings& s, const Json& v) {
            (s.*member).set((s.*member).normalized(v.get<T>()));
          },
          [member](const AppSettings& s) { return Json((s.*member).value()); }};
}

const std::vector<Entry>& table() {
  // Bindings are left out: a scenario presses keys, it does not rebind them.
  static const std::vector<Entry> entries = [] {
    using S = AppSettings;
    std::vector<Entry> e = {
        entry("enabled", Type::boolean, &S::enabled),
        entry("managedDisplayIDs", Type::strings, &S::managedDisplayIDs),
        entry("animations", Type::boolean, &S::animations),
        entry("animationSpeed", Type::number, &S::animationSpeed),
        entry("innerGap", Type::number, &S::innerGap),
        entry("outerGap", Type::number, &S::outerGap),
        entry("widthPresets", Type::numbers, &S::widthPresets),
        entry("newWindowWidth", Type::number, &S::newWindowWidth),
        entry("swipeEnabled", Type::boolean, &S::swipeEnabled),
        entry("swipeFingers", Type::integer, &S::swipeFingers),
        entry("swipeSensitivity", Type::number, &S::swipeSensitivity),
        entry("invertSwipe", Type::boolean, &S::invertSwipe),
        entry("modifierScroll", Type::boolean, &S::modifierScroll),
        entry("floatingBundleIDs", Type::strings, &S::floatingBundleIDs),
        entry("showMinimap", Type::boolean, &S::showMinimap),
        entry("showFocusBorder", Type::boolean, &S::showFocusBorder),
        entry("focusBorderWidth", Type::number, &S::focusBorderWidth),
        entry("showEdgeArrows", Type::boolean, &S::showEdgeArrows),
        entry("dimInactive", Type::boolean, &S::dimInactive),
        entry("dimAmount", Type::number, &S::dimAmount),
        entry("carouselMode", Type::boolean, &S::carouselMode),
        entry("carouselCenterWidth", Type::number, &S::carouselCenterWidth),
        entry("carouselSideHeight", Type::number, &S::carouselSideHeight),
    };
    e.push_back(
        {"centerMode", Type::centerMode,
         [](AppSettings& s, const Json& v) {
           s.centerMode.set(*centerModeFromRaw(v.get<std::string>()));
         },
         [](const AppSettings& s) { return Json(std::string(rawValue(s.centerMode.value()))); }});
    return e;
  }();
  return entries;
}

const Entry* find(const std::string& property) {
  for (const Entry& e : table()) {
    if (property == e.property) return &e;
  }
  return nullptr;
}

bool allOf(const Json& v, bool (Json::*is)() const) {
  if (!v.is_array()) return false;
  for (const Json& item : v) {
    if (!(item.*is)()) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> checkSetting(const std::string& property, const Json& value) {
  const Entry* e = find(property);
  if (!e) return "\"" + property + "\" is not a setting";
  switch (e->type) {
    case Type::boolean:
      if (!value.is_boolean()) return "\"" + property + "\" takes true or false";
      break;
    case Type::number:
      if (!value.is_number() || !std::isfinite(value.get<double>())) {
        return "\"" + property + "\" takes a number";
      }
      break;
    case Type::integer:
      if (!value.is_number_integer()) return "\"" + property + "\" takes a whole number";
      break;
    case Type::strings:
      if (!allOf(value, &Json::is_string)) return "\"" + property + "\" takes a list of strings";
      break;
    case Type::numbers:
      if (!allOf(value, &Json::is_number) || value.empty() ||
          !std::all_of(value.begin(), value.end(),
                       [](const Json& n) { return std::isfinite(n.get<double>()); })) {
        return "\"" + property + "\" takes a non-empty list of numbers";
      }
      break;
    case Type::centerMode:
      if (!value.is_string() || !centerModeFromRaw(value.get<std::string>())) {
        return "\"" + property + "\" takes \"never\", \"onOverflow\" or \"always\"";
      }
      break;
  }
  return std::nullopt;
}

void assignSetting(AppSettings& settings, const std::string& property, const Json& value) {
  if (const Entry* e = find(property)) e->assign(settings, value);
}

Json settingValue(const AppSettings& settings, const std::string& property) {
  const Entry* e = find(property);
  return e ? e->read(settings) : Json();
}

std::vector<std::string> settableProperties() {
  std::vector<std::string> names;
  for (const Entry& e : table()) names.emplace_back(e.property);
  return names;
}

}  // namespace vistarail
