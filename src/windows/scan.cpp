// Scans of one application: which windows it has and what they are.
//
// A slow application answers every call late, so a scan is built to put a
// new window's first frame as early as the calls allow:
//   - one scan per application runs at a time; a request meanwhile asks for
//     one more after it, so scans never pile up on the application's queue;
//   - the scan lists the windows and reads only the new ones (number, facts
//     in one round trip, settability) before it reports, so the new window
//     is laid out and its frames queued at once; each new window is read on
//     a visit of its own to the application's queue, so the restores of a
//     pause or stop never wait for a long list read on a slow application;
//   - a moment later the new windows' notifications are registered and the
//     windows already known read again, one call at a time, each run only
//     when nothing else waits on the application's queue, so this
//     bookkeeping never holds up a later scan or a window's first frames.
// Scans bring facts; whether a window tiles is judged on the main queue when
// they are applied, against what is known then.

#include <algorithm>

#include "platform/ax_names.h"
#include "windows/ax_read.h"
#include "windows/classification.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

namespace {

// Reads the first of the scan's new windows still unread.
void readNextNewWindow(Accessibility& ax, manager::ScanWork& work) {
  const AXElement element = work.unread.front();
  work.unread.erase(work.unread.begin());
  if (const auto number = windowNumberOf(ax, element)) {
    work.snapshots.push_back(
        {*number, element, readWindowFacts(ax, element, true, work.observer->element())});
  }
}

}  // namespace

void WindowManager::refreshApp(Pid pid) {
  auto found = table_.observers.find(pid);
  if (found == table_.observers.end()) {
    appFinished(pid);
    return;
  }
  AppScan& scan = pipeline_.scans[pid];
  if (scan.running) {
    scan.again = true;
    return;
  }
  scan.running = true;
  auto work = std::make_shared<ScanWork>();
  work->observer = found->second;
  if (auto it = table_.windowsByPID.find(pid); it != table_.windowsByPID.end()) {
    for (WindowId id : it->second) {
      if (auto w = table_.windows.find(id); w != table_.windows.end()) {
        work->known.push_back({w->second.handle->element, id, w->second.settable.has_value()});
      }
    }
  }
  emit(ManagerEvent::Kind::scan, pid);
  onAppQueue(pid, [work](Accessibility& ax) -> AppReply {
    const auto list = ax.copyAttributeValue(work->observer->element(), ax::kWindows);
    work->answered = list.error != AXError::cannotComplete;
    const std::vector<AXElement> elements =
        list.isOk() ? asElements(*list.value).value_or(std::vector<AXElement>{})
                    : std::vector<AXElement>{};
    for (const AXElement& element : elements) {
      auto match = std::find_if(work->known.begin(), work->known.end(),
                                [&](const KnownWindowRead& k) { return k.element == element; });
      if (match != work->known.end()) {
        work->listed.push_back(*match);
      } else {
        work->unread.push_back(element);
      }
    }
    // The first new window (most often the only one) comes with the list, so
    // its first frame does not wait behind what reached the queue meanwhile.
    if (!work->unread.empty()) readNextNewWindow(ax, *work);
    return [work](WindowManager& self) { self.scanStep(work); };
  });
}

void WindowManager::scanStep(const std::shared_ptr<ScanWork>& work) {
  // One new window a visit to the application's queue: whatever reached it
  // meanwhile (the restores of a pause or stop first) goes before the next
  // window, and a stop ends the scan at once.
  if (work->unread.empty() || !running_) {
    finishScan(work);
    return;
  }
  onAppQueue(work->observer->pid(), [work](Accessibility& ax) -> AppReply {
    readNextNewWindow(ax, *work);
    return [work](WindowManager& self) { self.scanStep(work); };
  });
}

void WindowManager::finishScan(const std::shared_ptr<ScanWork>& work) {
  const AppObserverRef& observer = work->observer;
  std::vector<std::pair<AXElement, WindowId>> unwatched;
  for (const WindowSnapshot& s : work->snapshots) unwatched.emplace_back(s.element, s.id);
  std::vector<WindowId> present;
  for (const KnownWindowRead& k : work->listed) present.push_back(k.id);
  // Unanswered, the list is not an empty one: every window stays known.
  if (!work->answered) present = table_.windowsByPID[observer->pid()];
  if (!applySnapshots(std::move(work->snapshots), present, observer->pid(), observer)) return;
  if (!work->answered) {
    askAgainLater(AskAgain::scan, observer->pid(),
                  [pid = observer->pid()](WindowManager& self) { self.refreshApp(pid); });
  }
  followUpScan(observer, std::move(unwatched), std::move(work->listed));
}

void WindowManager::followUpScan(const AppObserverRef& observer,
                                 std::vector<std::pair<AXElement, WindowId>> unwatched,
                                 std::vector<KnownWindowRead> known) {
  if (unwatched.empty() && known.empty()) return;
  followUpLater(
      std::make_shared<FollowUp>(FollowUp{observer, std::move(unwatched), std::move(known)}),
      timing::kScanFollowUpSeconds);
}

void WindowManager::followUpLater(const std::shared_ptr<FollowUp>& work, double seconds) {
  ports_.dispatch.main()->asyncAfter(seconds, [weak = weak_from_this(), work] {
    if (auto self = weak.lock()) self->followUpStep(work);
  });
}

void WindowManager::followUpStep(const std::shared_ptr<FollowUp>& work) {
  // A stop drops the rest, so restores go first; so does a replaced observer.
  if (!running_) return;
  const AppObserverRef& observer = work->observer;
  auto current = table_.observers.find(observer->pid());
  if (current == table_.observers.end() || current->second != observer) return;
  if (work->unwatched.empty() && work->known.empty()) return;
  // One call's worth at a time, each run only when nothing else waits on
  // the application's queue: a new window's scan and its first frames never
  // wait for this bookkeeping, however slow the application.
  auto step = [work](Accessibility& ax) -> AppReply {
    if (!work->unwatched.empty()) {
      const auto [element, id] = work->unwatched.front();
      const AppObserver::Watch watch = work->observer->watchNext(element, id);
      if (watch == AppObserver::Watch::done) work->unwatched.erase(work->unwatched.begin());
      return [work, watch, id = id](WindowManager& self) {
        if (watch == AppObserver::Watch::unanswered) {
          // Not asked again at once: a hung application would only hold its
          // queue a second longer each time.
          self.applicationUnanswered(work->observer->pid());
          self.followUpLater(work, timing::kRecoveryPeriodSeconds);
          return;
        }
        if (watch == AppObserver::Watch::done) self.catchUpUnheard(id);
        self.followUpStep(work);
      };
    }
    const KnownWindowRead k = work->known.front();
    work->known.erase(work->known.begin());
    std::vector<WindowSnapshot> read;
    read.push_back({k.id, k.element,
                    readWindowFacts(ax, k.element, !k.settableKnown, work->observer->element())});
    return [work, read = std::move(read)](WindowManager& self) mutable {
      self.applyKnownFacts(std::move(read), work->observer);
      self.followUpStep(work);
    };
  };
  onAppQueue(observer->pid(), std::move(step), AppQueueTurn::whenIdle);
}

bool WindowManager::updateWindow(TrackedWindow& window, WindowFacts facts) {
  // Judged now, against what is known now: a verdict taken when the scan was
  // scheduled would be seconds old for a slow application.
  const bool wasTileable = window.isTileable;
  const bool wasFullScreen = window.isFullScreen;
  const std::optional<Rect> oldFrame = window.lastKnownFrame;
  window.isTileable = isTileable(facts, wasTileable, window.settable);
  if (facts.settable) window.settable = facts.settable;
  window.isFullScreen = facts.isFullScreen;
  if (facts.frame) window.lastKnownFrame = facts.frame;
  if (facts.title && facts.title != window.title) {
    window.title = std::move(facts.title);
    overlays_->labelsChanged();
  }
  // A window that stops tiling leaves every strip, not only the ones the
  // reconcile looks at (the current strip of each active display).
  if (wasTileable && !window.isTileable) leaveHiddenStrips(window.id());
  // The frame decides a strip only for a tileable window the program has
  // not moved (where it stands says which display it joins).
  const bool frameMatters = window.isTileable && !moved_.isOwed(window.id());
  return wasTileable != window.isTileable || wasFullScreen != window.isFullScreen ||
         (frameMatters && oldFrame != window.lastKnownFrame);
}

bool WindowManager::applySnapshots(std::vector<WindowSnapshot> snapshots,
                                   const std::vector<WindowId>& present, Pid pid,
                                   const AppObserverRef& observer) {
  bool again = false;
  if (auto scan = pipeline_.scans.find(pid); scan != pipeline_.scans.end()) {
    again = scan->second.again;
    pipeline_.scans.erase(scan);
  }
  if (!running_) return false;  // a stopping manager only brings windows back
  // The scan asked for while this one ran, once this one's report is in.
  auto next = [&] {
    if (again && running_) refreshApp(pid);
  };
  auto current = table_.observers.find(pid);
  if (current == table_.observers.end() || current->second != observer) {
    // The application's observer was replaced or released: the scan it began
    // says nothing about the windows now.
    appFinished(pid);
    next();
    return false;
  }
  emit(ManagerEvent::Kind::scanApplied, pid);
  std::vector<WindowId> seen = present;
  seen.reserve(present.size() + snapshots.size());
  for (WindowSnapshot& snapshot : snapshots) {
    // An application listing one window twice must not list it twice here.
    if (std::find(seen.begin(), seen.end(), snapshot.id) != seen.end()) continue;
    seen.push_back(snapshot.id);
    auto it = table_.windows.find(snapshot.id);
    if (it == table_.windows.end()) {
      TrackedWindow window;
      window.handle = std::make_shared<ManagedWindow>(
          ManagedWindow{snapshot.id, pid, snapshot.element, observer->element()});
      window.bundleID = observer->bundleID();
      window.appName = observer->appName();
      it = table_.windows.emplace(snapshot.id, std::move(window)).first;
      overlays_->labelsChanged();
    }
    (void)updateWindow(it->second, std::move(snapshot.facts));
  }

  const std::vector<WindowId> previous = table_.windowsByPID[pid];
  for (WindowId id : previous) {
    if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
    if (windowServerKnows(id)) {
      // Listed by the window server although the application left it out:
      // a transient omission, not a closed window.
      seen.push_back(id);
      continue;
    }
    onAppQueue(pid, [observer, id](Accessibility&) -> AppReply {
      observer->unwatch(id);
      return nullptr;
    });
    forget(id);
  }
  table_.windowsByPID[pid] = std::move(seen);
  appFinished(pid);
  next();
  return true;
}

void WindowManager::applyKnownFacts(std::vector<WindowSnapshot> read,
                                    const AppObserverRef& observer) {
  if (!running_) return;
  auto current = table_.observers.find(observer->pid());
  if (current == table_.observers.end() || current->second != observer) return;
  // Only what changes a strip is worth a reconcile: the first half of the
  // scan already had one.
  bool changed = false;
  for (WindowSnapshot& snapshot : read) {
    auto it = table_.windows.find(snapshot.id);
    if (it != table_.windows.end()) changed |= updateWindow(it->second, std::move(snapshot.facts));
  }
  if (changed) scheduleReconcile();
}

}  // namespace vistarail
