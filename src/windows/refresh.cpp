// Bursts of notifications become one scan per application and one reconcile:
// pids collect in sets while a short delay runs, a batch waits for every
// application it scans (or its deadline), and one flag keeps a single
// reconcile queued.

#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

void WindowManager::scheduleRefresh(std::optional<Pid> pid) {
  if (pid) {
    pipeline_.dirtyPIDs.insert(*pid);
  } else {
    pipeline_.refreshAllPending = true;
  }
  if (pipeline_.refreshScheduled) return;
  pipeline_.refreshScheduled = true;
  ports_.dispatch.main()->asyncAfter(timing::kRefreshCoalesceSeconds, [weak = weak_from_this()] {
    if (auto self = weak.lock()) self->flushRefresh();
  });
}

void WindowManager::flushRefresh() {
  pipeline_.refreshScheduled = false;
  std::set<Pid> pids;
  if (pipeline_.refreshAllPending) {
    for (const auto& [pid, observer] : table_.observers) pids.insert(pid);
  } else {
    for (Pid pid : pipeline_.dirtyPIDs) {
      if (table_.observers.contains(pid)) pids.insert(pid);
    }
  }
  pipeline_.refreshAllPending = false;
  pipeline_.dirtyPIDs.clear();
  refresh(pids);
}

void WindowManager::refresh(const std::set<Pid>& pids) {
  if (pids.empty()) {
    scheduleReconcile();
    return;
  }
  pipeline_.batchWaiting.insert(pids.begin(), pids.end());
  if (pipeline_.batchDeadline) pipeline_.batchDeadline->cancel();
  pipeline_.batchDeadline = ports_.dispatch.main()->asyncAfterCancellable(
      timing::kBatchDeadlineSeconds, [weak = weak_from_this()] {
        auto self = weak.lock();
        if (!self) return;
        self->pipeline_.batchWaiting.clear();
        self->pipeline_.batchDeadline.reset();
        self->scheduleReconcile();
      });
  for (Pid pid : pids) refreshApp(pid);
}

void WindowManager::appFinished(Pid pid) {
  const bool waited = pipeline_.batchWaiting.erase(pid) > 0;
  if (pipeline_.batchWaiting.empty()) {
    if (pipeline_.batchDeadline) pipeline_.batchDeadline->cancel();
    pipeline_.batchDeadline.reset();
    scheduleReconcile();
  } else if (!waited) {
    // A late or unsolicited report is reconciled on its own.
    scheduleReconcile();
  }
}

void WindowManager::scheduleReconcile() {
  if (pipeline_.reconcileScheduled) return;
  pipeline_.reconcileScheduled = true;
  ports_.dispatch.main()->async([weak = weak_from_this()] {
    if (auto self = weak.lock()) self->reconcile();
  });
}

}  // namespace vistarail
