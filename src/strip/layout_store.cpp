#include "strip/layout_store.h"

#include <algorithm>
#include <charconv>

namespace vistarail {

namespace {

std::optional<SavedLayouts> readLayouts(const Defaults& defaults, const char* key) {
  const std::optional<std::vector<uint8_t>> data = defaults.data(key);
  if (!data) return std::nullopt;
  return decodeSavedLayouts(*data);
}

const ConnectedDisplay* primaryDisplay(std::span<const ConnectedDisplay> connected) {
  for (const ConnectedDisplay& display : connected) {
    if (display.isPrimary) return &display;
  }
  return nullptr;
}

}  // namespace

std::string stripKey(std::string_view displayId, int64_t spaceId) {
  std::string key(displayId);
  key += '/';
  key += std::to_string(spaceId);
  return key;
}

std::optional<int64_t> parseLegacySpaceKey(std::string_view key) {
  bool negative = false;
  if (!key.empty() && (key.front() == '+' || key.front() == '-')) {
    negative = key.front() == '-';
    key.remove_prefix(1);
  }
  if (key.empty()) return std::nullopt;
  for (char c : key) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  // Parsed as a magnitude so that the most negative value is accepted too.
  uint64_t magnitude = 0;
  const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), magnitude);
  if (error != std::errc() || end != key.data() + key.size()) return std::nullopt;
  constexpr uint64_t kMaxPositive = static_cast<uint64_t>(INT64_MAX);
  if (!negative) {
    if (magnitude > kMaxPositive) return std::nullopt;
    return static_cast<int64_t>(magnitude);
  }
  if (magnitude > kMaxPositive + 1) return std::nullopt;
  if (magnitude == kMaxPositive + 1) return INT64_MIN;
  return -static_cast<int64_t>(magnitude);
}

SavedLayouts loadSavedLayouts(const Defaults& defaults,
                              std::span<const ConnectedDisplay> connected) {
  SavedLayouts layouts = readLayouts(defaults, kLayoutKey).value_or(SavedLayouts{});
  const ConnectedDisplay* primary = primaryDisplay(connected);
  if (!primary) return layouts;
  const std::optional<SavedLayouts> legacy = readLayouts(defaults, kLegacyLayoutKey);
  if (!legacy) return layouts;
  for (const auto& [key, strip] : *legacy) {
    const std::optional<int64_t> space = parseLegacySpaceKey(key);
    if (!space) continue;
    // emplace keeps an existing entry: the newer data wins.
    layouts.emplace(stripKey(primary->id, *space), strip);
  }
  return layouts;
}

SavedStrip savedStripOf(const Strip& strip) {
  SavedStrip saved;
  saved.focusedIndex = strip.focusedIndex;
  saved.preferredHeights.emplace();
  saved.columns.reserve(strip.columns.size());
  for (const Column& column : strip.columns) {
    saved.columns.push_back({column.windows, column.proportion});
    for (WindowId window : column.windows) {
      const auto it = strip.preferredHeights.find(window);
      if (it != strip.preferredHeights.end()) (*saved.preferredHeights)[window] = it->second;
    }
  }
  return saved;
}

SaveOutcome saveLayouts(Defaults& defaults, std::span<const ConnectedDisplay> connected,
                        std::span<const StripToSave> strips) {
  SavedLayouts layouts = loadSavedLayouts(defaults, connected);
  for (const ConnectedDisplay& display : connected) {
    if (!display.spaces) continue;
    std::erase_if(layouts, [&](const auto& entry) {
      const std::string_view key = entry.first;
      if (key.size() <= display.id.size() || !key.starts_with(display.id) ||
          key[display.id.size()] != '/') {
        return false;
      }
      const std::optional<int64_t> space = parseLegacySpaceKey(key.substr(display.id.size() + 1));
      return space && std::find(display.spaces->begin(), display.spaces->end(), *space) ==
                          display.spaces->end();
    });
  }
  for (const StripToSave& entry : strips) {
    // A strip that never received a window keeps its stored entry, so a
    // display or Space that comes and goes empty loses nothing.
    if (!entry.strip || entry.strip->pendingRestore) continue;
    SavedStrip saved = savedStripOf(*entry.strip);
    // A strip holding a number JSON cannot carry (a NaN height from a broken
    // frame) keeps its previous entry instead of blocking every other strip's
    // save for as long as it lives.
    if (!canEncode(saved)) continue;
    layouts[stripKey(entry.displayId, entry.spaceId)] = std::move(saved);
  }
  const std::optional<std::vector<uint8_t>> data = encodeSavedLayouts(layouts);
  if (!data) return SaveOutcome::encodingFailed;
  defaults.setData(kLayoutKey, *data);
  if (primaryDisplay(connected)) defaults.remove(kLegacyLayoutKey);
  return SaveOutcome::saved;
}

}  // namespace vistarail
