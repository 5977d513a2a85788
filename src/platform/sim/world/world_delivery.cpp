// Handing a step's news to the main queue, and the world's own delayed work.

#include <string>
#include <tuple>

#include "platform/ax_names.h"

#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

namespace {

const char* eventName(WorkspaceEvent event) {
  switch (event) {
    case WorkspaceEvent::didLaunchApplication:
      return "didLaunchApplication";
    case WorkspaceEvent::didTerminateApplication:
      return "didTerminateApplication";
    case WorkspaceEvent::didActivateApplication:
      return "didActivateApplication";
    case WorkspaceEvent::didHideApplication:
      return "didHideApplication";
    case WorkspaceEvent::didUnhideApplication:
      return "didUnhideApplication";
    case WorkspaceEvent::activeSpaceDidChange:
      return "activeSpaceDidChange";
  }
  return "?";
}

void deliverAccessibility(const std::weak_ptr<WorldCore>& weak, const Note& note) {
  auto core = weak.lock();
  if (!core) return;
  const double now = core->dispatch.mediaTime();
  {
    std::lock_guard lock(core->mutex);
    core->nowSeconds = now;
    core->undelivered.erase({note.observerId, note.element, note.name});
    auto it = core->observers.find(note.observerId);
    // Detaching the run-loop source drops what it had not delivered yet.
    if (it == core->observers.end() || !it->second.attached) return;
    core->traceLine("deliver " + note.name + " on " + describe(note.element) + " to observer " +
                    std::to_string(note.observerId));
  }
  if (note.callback) {
    note.callback(AXObserver(note.observer), makeElement(note.element), note.name);
  }
}

// Those subscribed when it happened hear it, each looked up again right before
// its call so that one unsubscribing another during the delivery is respected.
template <class Map, class Call>
void deliverToSubscribers(WorldCore& core, Map WorldCore::*subscribers,
                          const std::vector<uint64_t>& ids, const Call& call) {
  for (uint64_t id : ids) {
    typename Map::mapped_type handler;
    {
      std::lock_guard lock(core.mutex);
      auto it = (core.*subscribers).find(id);
      if (it == (core.*subscribers).end()) continue;
      handler = it->second;
    }
    call(handler);
  }
}

void deliverWorkspace(const std::weak_ptr<WorldCore>& weak, const Note& note) {
  auto core = weak.lock();
  if (!core) return;
  const double now = core->dispatch.mediaTime();
  {
    std::lock_guard lock(core->mutex);
    core->nowSeconds = now;
    std::string line = std::string("workspace ") + eventName(note.event);
    if (note.app) line += " " + std::to_string(note.app->pid);
    core->traceLine(line);
  }
  deliverToSubscribers(*core, &WorldCore::workspaceSubscribers, note.subscribers,
                       [&](const auto& handler) { handler(note.event, note.app); });
}

void deliverScreens(const std::weak_ptr<WorldCore>& weak, const Note& note) {
  auto core = weak.lock();
  if (!core) return;
  const double now = core->dispatch.mediaTime();
  {
    std::lock_guard lock(core->mutex);
    core->nowSeconds = now;
    core->traceLine("screens changed");
  }
  deliverToSubscribers(*core, &WorldCore::screenSubscribers, note.subscribers,
                       [](const auto& handler) { handler(); });
}

bool mergeable(const std::string& name) {
  return name == ax::kWindowMoved || name == ax::kWindowResized;
}

}  // namespace

double WorldCore::notificationDelay(const Note& note, double now) {
  const NotificationModel& model = realism.notifications;
  if (model == NotificationModel{}) return 0;
  const auto key = std::make_tuple(note.observerId, note.element, note.name);
  if (mergeable(note.name)) {
    SimWindow* window =
        note.element.kind == ElementKind::window ? findWindow(note.element.window) : nullptr;
    if (model.dropProbability > 0 && rng.unit() < model.dropProbability) {
      traceLine("notification " + note.name + " on " + describe(note.element) + " lost");
      if (window) {
        window->movedUnheard = true;
        window->movedUnheardAt = now;
      }
      return -1;
    }
    if (window) window->movedUnheard = false;
    if (model.coalesce && undelivered.contains(key)) return -1;  // the one waiting stands for it
  }
  undelivered.insert(key);
  double at = now + model.delaySeconds + model.jitterSeconds * rng.unit();
  // One observer's run-loop source hands out its queue in order.
  double& busy = observerBusyUntil[note.observerId];
  at = std::max(at, busy);
  busy = at;
  return at - now;
}

void WorldCore::deliver(Outbox& out) {
  std::weak_ptr<WorldCore> weak = weak_from_this();
  for (auto& later : out.later) {
    appQueue->asyncAfter(later.delaySeconds, [weak, run = std::move(later.run)] {
      auto core = weak.lock();
      if (!core) return;
      core->step([&](Outbox& o) {
        run(*core, o);
        return true;
      });
    });
  }
  out.later.clear();
  for (auto& move : out.selfMoves) {
    appQueue->asyncAfter(move.delaySeconds, [weak, move] {
      auto core = weak.lock();
      if (!core) return;
      core->step([&](Outbox& o) { return step::moveByApp(*core, move.window, move.frame, o); });
    });
  }
  if (out.notes.empty()) return;
  auto main = dispatch.main();
  for (auto& note : out.notes) {
    switch (note.kind) {
      case Note::Kind::accessibility: {
        double delay = 0;
        {
          std::lock_guard lock(mutex);
          delay = notificationDelay(note, dispatch.mediaTime());
        }
        if (delay < 0) break;
        main->asyncAfter(delay,
                         [weak, note = std::move(note)] { deliverAccessibility(weak, note); });
        break;
      }
      case Note::Kind::workspace:
        main->async([weak, note = std::move(note)] { deliverWorkspace(weak, note); });
        break;
      case Note::Kind::screens:
        main->async([weak, note = std::move(note)] { deliverScreens(weak, note); });
        break;
    }
  }
  out.notes.clear();
  out.selfMoves.clear();
}

}  // namespace vistarail::sim
