// Displays and Spaces: plugging, unplugging, rearranging, switching.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "platform/sim/world/world.h"
#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

namespace {

// A stable UUID per display number, so a display keeps its identity across
// worlds and runs whatever else the seed decides.
std::string derivedUUID(DisplayNumber number) {
  Rng rng(0x5eed0000ull + number);
  const uint64_t a = rng.next();
  const uint64_t b = rng.next();
  char text[40];
  std::snprintf(text, sizeof text, "%08x-%04x-%04x-%04x-%012llx", static_cast<unsigned>(a >> 32),
                static_cast<unsigned>((a >> 16) & 0xffff), static_cast<unsigned>(a & 0xffff),
                static_cast<unsigned>(b >> 48),
                static_cast<unsigned long long>(b & 0xffffffffffffull));
  return text;
}

std::string lowerCase(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

void markPrimary(WorldCore& c) {
  bool first = true;
  for (auto& d : c.displays) {
    d.isPrimary = d.isConnected && first;
    if (d.isConnected) first = false;
  }
}

// Moves the display record to just after the connected ones.
void moveToConnectedEnd(WorldCore& c, size_t index, bool connected) {
  SimDisplay record = std::move(c.displays[index]);
  c.displays.erase(c.displays.begin() + static_cast<std::ptrdiff_t>(index));
  record.isConnected = connected;
  auto pos = std::find_if(c.displays.begin(), c.displays.end(),
                          [](const SimDisplay& d) { return !d.isConnected; });
  c.displays.insert(pos, std::move(record));
  markPrimary(c);
}

std::optional<size_t> indexOf(const WorldCore& c, DisplayNumber number) {
  for (size_t i = 0; i < c.displays.size(); ++i) {
    if (c.displays[i].number == number) return i;
  }
  return std::nullopt;
}

// Whether the window is the display's: by its Space, or with one set of
// Spaces for every display, by where most of it lies.
bool onDisplay(WorldCore& c, const SimWindow& w, const SimDisplay* d) {
  if (c.realism.displaysShareOneSpace && !w.fullScreen) return c.displayForRect(w.frame) == d;
  return c.displayOfSpace(*w.space) == d;
}

Rect keepInside(Rect frame, const Rect& area) {
  frame.origin.x = std::clamp(frame.origin.x, area.minX(),
                              std::max(area.minX(), area.maxX() - frame.size.width));
  frame.origin.y = std::clamp(frame.origin.y, area.minY(),
                              std::max(area.minY(), area.maxY() - frame.size.height));
  return frame;
}

}  // namespace

DisplayNumber World::plugDisplay(DisplaySetup setup) {
  DisplayNumber result = 0;
  core_->step([&](Outbox& out) {
    WorldCore& c = *core_;
    setup.uuid = lowerCase(setup.uuid);
    if (setup.visibleFrame.isEmpty()) setup.visibleFrame = setup.frame;
    std::optional<size_t> known;
    for (size_t i = 0; i < c.displays.size(); ++i) {
      const SimDisplay& d = c.displays[i];
      const bool same = (!setup.uuid.empty() && d.uuid == setup.uuid) ||
                        (setup.number && d.number == setup.number);
      if (!same) continue;
      if (d.isConnected) return false;  // already there
      known = i;
    }
    if (known) {
      SimDisplay& d = c.displays[*known];
      const std::string uuid = d.uuid;
      const DisplayNumber number = *d.number;
      static_cast<DisplaySetup&>(d) = setup;
      d.uuid = uuid;
      d.number = number;
      result = number;
      // Its Spaces went to the display that held them while it was away.
      if (d.spaces.empty()) {
        d.spaces.push_back({c.nextSpaceId++, false});
        d.currentSpace = d.spaces.front().id;
      }
      moveToConnectedEnd(c, *known, true);
    } else {
      SimDisplay d;
      static_cast<DisplaySetup&>(d) = setup;
      if (!d.number) {
        while (c.findDisplay(c.nextDisplayNumber)) ++c.nextDisplayNumber;
        d.number = c.nextDisplayNumber++;
      }
      if (d.uuid.empty()) d.uuid = derivedUUID(*d.number);
      d.spaces.push_back({c.nextSpaceId++, false});
      d.currentSpace = d.spaces.front().id;
      result = *d.number;
      c.displays.push_back(std::move(d));
      moveToConnectedEnd(c, c.displays.size() - 1, true);
    }
    c.traceLine("display " + std::to_string(result) + " plugged in at " + formatRect(setup.frame));
    // A window left where the display now stands (parked beside the edge of
    // another) shows on it, and travels with it when it is rearranged.
    if (!c.realism.displaysShareOneSpace) {
      SimDisplay& plugged = *c.findDisplay(result);
      for (WindowKey key : c.zOrder) {
        SimWindow* w = c.findWindow(key);  // the order holds overlay panels too
        if (!w || w->fullScreen ||
            w->frame.intersectionArea(plugged.frame) * 2 <= w->frame.width() * w->frame.height())
          continue;
        if (c.displayOfSpace(w->space.value_or(0)) != &plugged)
          w->space = WorldCore::spaceForNewWindow(plugged);
      }
    }
    c.emitScreens(out);
    return true;
  });
  return result;
}

bool World::unplugDisplay(DisplayNumber number) {
  return core_->step([&](Outbox& out) {
    WorldCore& c = *core_;
    auto index = indexOf(c, number);
    if (!index || !c.displays[*index].isConnected) return false;
    c.traceLine("display " + std::to_string(number) + " unplugged");
    // Full-screen windows leave their Spaces before the display goes.
    const Rect goneFrame = c.displays[*index].frame;
    const bool shared = c.realism.displaysShareOneSpace;
    // The windows to gather are those lying mostly on the display, whatever
    // their Space (a display moved in the arrangement may now cover a window
    // of another display's Space), and with separate Spaces those of its
    // Spaces.
    std::set<WindowKey> onGone;
    for (auto& [key, w] : c.windows) {
      if (!w.fullScreen && c.displayForRect(w.frame) == &c.displays[*index]) {
        onGone.insert(key);
      }
      const SimDisplay* shownOn = shared ? c.displayForRect(w.frame) : c.displayOfSpace(*w.space);
      if (w.fullScreen && shownOn == &c.displays[*index]) {
        step::exitFullScreen(c, w, out);
        // Back at its frame from before, which is gathered like the others
        // when it lies on the display that goes.
        if (shared && c.displayForRect(w.frame) == &c.displays[*index]) onGone.insert(key);
      }
    }
    const bool heldSpaces = c.spaceHolder(&c.displays[*index]) == &c.displays[*index];
    moveToConnectedEnd(c, *index, false);
    c.emitScreens(out);
    const SimDisplay* primary = c.primaryDisplay();
    if (!primary) return true;
    const DisplayNumber primaryNumber = *primary->number;
    if (shared && heldSpaces) {
      // The one set of Spaces moves to the display that is primary now.
      SimDisplay& gone = *c.findDisplay(number);
      SimDisplay& next = *c.findDisplay(primaryNumber);
      next.spaces.insert(next.spaces.begin(), gone.spaces.begin(), gone.spaces.end());
      next.currentSpace = gone.currentSpace;
      gone.spaces.clear();
    }
    // The system gathers the windows of a display that went away on the
    // primary display.
    for (WindowKey key : std::vector<WindowKey>(c.zOrder)) {
      if (!c.findWindow(key)) continue;
      SimWindow& w = *c.findWindow(key);
      SimDisplay* home = c.displayOfSpace(*w.space);
      const bool gathered = onGone.contains(key) || (!shared && home && !home->isConnected);
      if (!gathered) continue;
      SimDisplay& p = *c.findDisplay(primaryNumber);
      const Rect moved =
          w.frame.offsetBy(p.frame.minX() - goneFrame.minX(), p.frame.minY() - goneFrame.minY());
      if (!shared) w.space = WorldCore::spaceForNewWindow(p);
      step::setFrame(c, w, keepInside(moved, p.visibleFrame), out);
    }
    return true;
  });
}

bool World::setDisplayFrames(DisplayNumber number, Rect frame, Rect visibleFrame) {
  return core_->step([&](Outbox& out) {
    SimDisplay* d = core_->findDisplay(number);
    if (!d || !d->isConnected) return false;
    // The display's windows travel with it, as they do when displays are
    // rearranged in the system's settings.
    const Point shift{frame.minX() - d->frame.minX(), frame.minY() - d->frame.minY()};
    std::vector<WindowKey> travelling;
    for (WindowKey key : core_->zOrder) {
      const SimWindow* w = core_->findWindow(key);  // the order holds overlay panels too
      if (w && onDisplay(*core_, *w, d)) travelling.push_back(key);
    }
    // The display is in its new place before its windows land there, or
    // the window server would pull them back onto the old one.
    d->frame = frame;
    d->visibleFrame = visibleFrame.isEmpty() ? frame : visibleFrame;
    if (shift.x != 0 || shift.y != 0) {
      for (WindowKey key : travelling) {
        SimWindow& w = *core_->findWindow(key);
        step::setFrame(*core_, w, w.frame.offsetBy(shift.x, shift.y), out);
      }
    }
    core_->traceLine("display " + std::to_string(number) + " moved to " + formatRect(frame));
    core_->emitScreens(out);
    return true;
  });
}

SpaceId World::addSpace(DisplayNumber number) {
  SpaceId id = 0;
  core_->step([&](Outbox&) {
    SimDisplay* d = core_->spaceHolder(core_->findDisplay(number));
    if (!d) return false;
    id = core_->nextSpaceId++;
    d->spaces.push_back({id, false});
    core_->traceLine("space " + std::to_string(id) + " added to display " + std::to_string(number));
    return true;
  });
  return id;
}

bool World::switchSpace(DisplayNumber number, SpaceId space) {
  return core_->step([&](Outbox& out) {
    WorldCore& c = *core_;
    SimDisplay* d = c.spaceHolder(c.findDisplay(number));
    if (!d || !d->isConnected || c.displayOfSpace(space) != d) return false;
    if (d->currentSpace == space) return true;
    c.traceLine("display " + std::to_string(number) + " switches to space " +
                std::to_string(space));
    d->currentSpace = space;
    c.emitWorkspace(out, WorkspaceEvent::activeSpaceDidChange, std::nullopt);
    // The front-most window of the Space shown now takes focus.
    for (WindowKey key : c.zOrder) {
      if (!c.findWindow(key)) continue;
      SimWindow& w = *c.findWindow(key);
      if (w.space != space || !c.isOnScreen(w)) continue;
      step::activate(c, w.pid, out);
      step::focusInApp(c, w, out);
      break;
    }
    return true;
  });
}

}  // namespace vistarail::sim
