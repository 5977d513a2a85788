#include "windows/display_info.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

namespace vistarail {

namespace {

std::string lowerCase(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && lowerCase(a) == lowerCase(b);
}

// Squared distance from a point to the nearest point of a rectangle; 0 inside.
double squaredDistance(Point p, const Rect& r) {
  const double dx = std::max({r.minX() - p.x, p.x - r.maxX(), 0.0});
  const double dy = std::max({r.minY() - p.y, p.y - r.maxY(), 0.0});
  return dx * dx + dy * dy;
}

std::optional<std::string> stringAt(const PropertyList& dictionary, const char* key) {
  const auto it = dictionary.find(key);
  if (it == dictionary.end() || !it->is_string()) return std::nullopt;
  return it->get<std::string>();
}

std::optional<int64_t> integerAt(const PropertyList& dictionary, const char* key) {
  const auto it = dictionary.find(key);
  if (it == dictionary.end() || !it->is_number_integer()) return std::nullopt;
  return it->get<int64_t>();
}

// The per-display dictionary of the managed-Spaces answer that describes the
// display. Older systems call the primary display "Main", and a machine with
// a single display may give one dictionary whatever it is called.
const PropertyList* dictionaryFor(const PropertyList& answer, const DisplayInfo& display) {
  using namespace managed_spaces;
  const auto identifier = [](const PropertyList& d) -> std::optional<std::string> {
    return d.is_object() ? stringAt(d, kDisplayIdentifier) : std::nullopt;
  };
  for (const PropertyList& d : answer) {
    const auto id = identifier(d);
    if (id && equalIgnoringCase(*id, display.id)) return &d;
  }
  if (display.isPrimary) {
    for (const PropertyList& d : answer) {
      if (identifier(d) == kMainDisplay) return &d;
    }
  }
  if (answer.size() == 1) return &answer.front();
  return nullptr;
}

std::optional<SpaceId64> spaceIdOf(const PropertyList& space) {
  using namespace managed_spaces;
  if (!space.is_object()) return std::nullopt;
  if (auto id = integerAt(space, kManagedSpaceId)) return id;
  return integerAt(space, kId64);
}

SpaceInfo currentSpaceOf(const PropertyList* dictionary) {
  using namespace managed_spaces;
  if (!dictionary || !dictionary->is_object()) return {};
  const auto it = dictionary->find(kCurrentSpace);
  if (it == dictionary->end() || !it->is_object()) return {};
  const PropertyList& space = *it;
  SpaceInfo info;
  info.id = spaceIdOf(space).value_or(0);
  info.isFullscreen = integerAt(space, kType) == kFullScreenType;
  return info;
}

}  // namespace

std::vector<DisplayInfo> DisplayInfo::all(Workspace& workspace, WindowServer& windowServer) {
  const std::vector<ScreenInfo> screens = workspace.screens();
  // The screen API measures y up from the bottom of the first screen.
  const double primaryHeight = screens.empty() ? 0 : screens.front().frame.height();
  std::vector<DisplayInfo> displays;
  for (size_t i = 0; i < screens.size(); ++i) {
    const ScreenInfo& screen = screens[i];
    if (!screen.screenNumber) continue;
    const auto uuid = windowServer.displayUUID(*screen.screenNumber);
    if (!uuid) continue;
    displays.push_back({.id = lowerCase(*uuid),
                        .displayID = *screen.screenNumber,
                        .name = screen.localizedName,
                        .frame = flipVertically(screen.frame, primaryHeight),
                        .visibleFrame = flipVertically(screen.visibleFrame, primaryHeight),
                        .isPrimary = i == 0});
  }
  return displays;
}

std::optional<DisplayInfo> displayContaining(const Rect& rect,
                                             std::span<const DisplayInfo> displays) {
  if (rect.isNull() || rect.isInfinite() || displays.empty()) return std::nullopt;
  const Point centre = rect.center();
  const DisplayInfo* best = &displays.front();
  double bestArea = rect.intersectionArea(best->frame);
  double bestDistance = squaredDistance(centre, best->frame);
  for (const DisplayInfo& display : displays.subspan(1)) {
    const double area = rect.intersectionArea(display.frame);
    const double distance = squaredDistance(centre, display.frame);
    if (area > bestArea || (area == bestArea && distance < bestDistance)) {
      best = &display;
      bestArea = area;
      bestDistance = distance;
    }
  }
  return *best;
}

namespace {

// The query is private: it may be missing, or answer in a shape we do not know.
std::optional<PropertyList> managedSpaces(WindowServer& windowServer) {
  std::optional<PropertyList> answer;
  if (const auto connection = windowServer.mainConnectionID()) {
    answer = windowServer.copyManagedDisplaySpaces(*connection);
  }
  if (!answer || !answer->is_array()) return std::nullopt;
  return answer;
}

}  // namespace

SpaceLists listedSpaces(WindowServer& windowServer, std::span<const DisplayInfo> displays) {
  SpaceLists lists;
  const std::optional<PropertyList> answer = managedSpaces(windowServer);
  if (!answer) return lists;
  for (const DisplayInfo& display : displays) {
    const PropertyList* dictionary = dictionaryFor(*answer, display);
    if (!dictionary || !dictionary->is_object()) continue;
    const auto spaces = dictionary->find(managed_spaces::kSpaces);
    if (spaces == dictionary->end() || !spaces->is_array() || spaces->empty()) continue;
    std::vector<SpaceId64> ids;
    for (const PropertyList& space : *spaces) {
      const std::optional<SpaceId64> id = spaceIdOf(space);
      if (!id) {
        ids.clear();
        break;
      }
      ids.push_back(*id);
    }
    if (!ids.empty()) lists.try_emplace(display.id, std::move(ids));
  }
  return lists;
}

SpaceMap currentSpaces(WindowServer& windowServer, std::span<const DisplayInfo> displays) {
  const std::optional<PropertyList> answer = managedSpaces(windowServer);
  const bool usable = answer.has_value();
  SpaceMap spaces;
  for (const DisplayInfo& display : displays) {
    // A display reported twice keeps its first answer.
    spaces.try_emplace(display.id,
                       usable ? currentSpaceOf(dictionaryFor(*answer, display)) : SpaceInfo{});
  }
  return spaces;
}

}  // namespace vistarail
