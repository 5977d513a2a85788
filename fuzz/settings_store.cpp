// The settings store over a defaults domain holding any values of any kind
// under its keys: loading never fails, the editing operations keep working,
// and what they write is read back the same at the next launch.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "platform/sim/defaults/memory_defaults.h"

using namespace vistarail;

namespace {

// Any property-list value, including damaged strings, non-finite numbers and
// nested containers.
PropertyList fuzzedValue(FuzzedDataProvider& in, int depth) {
  switch (in.ConsumeIntegralInRange<int>(0, depth > 0 ? 9 : 7)) {
    case 0:
      return in.ConsumeBool();
    case 1:
      return in.ConsumeIntegral<int64_t>();
    case 2:
      return in.ConsumeIntegral<uint64_t>();
    case 3:
      return in.ConsumeFloatingPoint<double>();
    case 4:
      return in.PickValueInArray({std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(), 3.0, 0.5});
    case 5:
      return in.ConsumeRandomLengthString(64);
    case 6: {
      const auto bytes = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 512));
      return PropertyList::binary(bytes);
    }
    case 7:
      return nullptr;
    case 8: {
      PropertyList array = PropertyList::array();
      const int count = in.ConsumeIntegralInRange<int>(0, 8);
      for (int i = 0; i < count; ++i) array.push_back(fuzzedValue(in, depth - 1));
      return array;
    }
    default: {
      PropertyList object = PropertyList::object();
      const int count = in.ConsumeIntegralInRange<int>(0, 4);
      for (int i = 0; i < count; ++i) {
        object[in.ConsumeRandomLengthString(16)] = fuzzedValue(in, depth - 1);
      }
      return object;
    }
  }
}

template <class F>
void forEachSetting(F f) {
  using S = AppSettings;
  f(&S::enabled);
  f(&S::managedDisplayIDs);
  f(&S::animations);
  f(&S::animationSpeed);
  f(&S::innerGap);
  f(&S::outerGap);
  f(&S::widthPresets);
  f(&S::newWindowWidth);
  f(&S::centerMode);
  f(&S::swipeEnabled);
  f(&S::swipeFingers);
  f(&S::swipeSensitivity);
  f(&S::invertSwipe);
  f(&S::modifierScroll);
  f(&S::floatingBundleIDs);
  f(&S::bindings);
  f(&S::showMinimap);
  f(&S::showFocusBorder);
  f(&S::focusBorderWidth);
  f(&S::showEdgeArrows);
  f(&S::dimInactive);
  f(&S::dimAmount);
  f(&S::carouselMode);
  f(&S::carouselCenterWidth);
  f(&S::carouselSideHeight);
}

std::optional<std::string> fuzzedDisplay(FuzzedDataProvider& in) {
  if (!in.ConsumeBool()) return std::nullopt;
  return in.ConsumeRandomLengthString(40);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);

  static const std::vector<std::string> keys = [] {
    sim::MemoryDefaults empty;
    return AppSettings(empty, std::nullopt).keys();
  }();
  PropertyList stored = PropertyList::object();
  for (const std::string& key : keys) {
    if (in.ConsumeBool()) stored[key] = fuzzedValue(in, 3);
  }
  sim::MemoryDefaults defaults(stored);
  AppSettings settings(defaults, fuzzedDisplay(in));

  // The editing operations on whatever was loaded.
  settings.adoptInitialDisplay(fuzzedDisplay(in));
  if (auto display = fuzzedDisplay(in)) {
    settings.setDisplayManaged(
        *display, in.ConsumeBool() ? DisplayManagement::managed : DisplayManagement::unmanaged);
  }
  settings.toggleWidthPreset(in.ConsumeFloatingPoint<double>());
  (void)settings.hasWidthPreset(in.ConsumeFloatingPoint<double>());
  const auto action = allActions()[in.ConsumeIntegralInRange<size_t>(0, kActionCount - 1)];
  const KeyCombo combo{in.ConsumeIntegral<uint32_t>(), in.ConsumeIntegral<uint32_t>()};
  if (in.ConsumeBool()) {
    settings.addBinding(combo, action);
  } else {
    settings.removeBinding(combo, action);
  }
  // Whatever was loaded, once written back, reads back the same.
  forEachSetting([&](auto member) { (settings.*member).set((settings.*member).value()); });
  AppSettings relaunched(defaults, std::nullopt);
  forEachSetting([&](auto member) {
    if (!((relaunched.*member).value() == (settings.*member).value())) std::abort();
  });
  return 0;
}
