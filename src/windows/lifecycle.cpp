// Start, stop, pause and resume, settings changes, workspace events and the
// status text.

#include <algorithm>

#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

const char* toString(ManagerEvent::Kind kind) {
  switch (kind) {
    case ManagerEvent::Kind::scan:
      return "scan";
    case ManagerEvent::Kind::scanApplied:
      return "scanApplied";
    case ManagerEvent::Kind::reconcile:
      return "reconcile";
    case ManagerEvent::Kind::restore:
      return "restore";
    case ManagerEvent::Kind::restored:
      return "restored";
    case ManagerEvent::Kind::restoreFailed:
      return "restoreFailed";
    case ManagerEvent::Kind::stopped:
      return "stopped";
  }
  return "?";
}

const Strip* DisplayState::currentStrip() const {
  auto it = strips.find(space.id);
  return it == strips.end() ? nullptr : &it->second;
}

Strip* DisplayState::currentStrip() {
  auto it = strips.find(space.id);
  return it == strips.end() ? nullptr : &it->second;
}

std::shared_ptr<WindowManager> WindowManager::create(AppSettings& settings, Defaults& defaults,
                                                     const WindowManagerPorts& ports) {
  return std::make_shared<WindowManager>(Token{}, settings, defaults, ports);
}

WindowManager::WindowManager(Token, AppSettings& settings, Defaults& defaults,
                             const WindowManagerPorts& ports)
    : settings_(settings),
      defaults_(defaults),
      ports_(ports),
      mover_(std::make_shared<WindowMover>(ports.ax, ports.dispatch)),
      animator_(ports.displayLinks, ports.dispatch,
                [&workspace = ports.workspace] { return workspace.screens(); }),
      hotkeys_(std::make_shared<HotKeyManager>(ports.hotKeys, ports.dispatch)),
      eventTaps_(std::make_shared<EventTapMonitor>(ports.eventTaps, ports.dispatch, ports.log)) {
  velocity_.reset();
}

WindowManager::~WindowManager() {
  animator_.stop();
}

void WindowManager::emit(ManagerEvent::Kind kind, Pid pid, WindowId window) {
  if (onEvent) onEvent({kind, pid, window});
}

void WindowManager::stateChanged() {
  if (onStateChange) onStateChange();
  changes.emit(Change::state);
}

bool WindowManager::managing() const {
  return running_ && settings_.enabled.value() && pipeline_.startupDone;
}

void WindowManager::start() {
  // Single use: a stop leaves delayed work behind (its deadline, restores,
  // retries) that must never meet a second session of the same manager.
  if (running_ || stopped_) return;
  running_ = true;

  const AXElement systemWide = ports_.ax.systemWideElement();
  (void)ports_.ax.setMessagingTimeout(systemWide, timing::kMessagingTimeoutSeconds);
  wireMoverAndAnimator();
  takeSettings();
  startInput();
  subscribe();
  rebuildDisplays(DisplayInfo::all(ports_.workspace, ports_.windowServer), std::nullopt);
  readUnrecovered();
  observeRunningApplications();
  stateChanged();
}

void WindowManager::wireMoverAndAnimator() {
  std::weak_ptr<WindowManager> weak = weak_from_this();
  mover_->onSizeMismatch = [weak](WindowId id, const Rect& requested, const Rect& read) {
    if (auto self = weak.lock()) self->sizeMismatch(id, requested.size, read.size);
  };
  mover_->onVerified = [weak](WindowId id, const Rect& requested, const Rect& read) {
    if (auto self = weak.lock()) self->verified(id, requested, read);
  };
  // A window that will not go where it is put may have been carried off its
  // Space or display meanwhile (nothing reports that): look at its
  // application again.
  mover_->onGaveUp = [weak](WindowId id) {
    auto self = weak.lock();
    if (!self || !self->running_) return;
    if (const TrackedWindow* window = self->window(id)) self->scheduleRefresh(window->pid());
  };
  mover_->onUnanswered = [weak](Pid pid) {
    if (auto self = weak.lock()) self->applicationUnanswered(pid);
  };
  animator_.setOnTick([weak](double dt) {
    auto self = weak.lock();
    return self && self->tick(dt);
  });
}

void WindowManager::takeSettings() {
  lifecycle_.lastFloatingApps = settings_.floatingBundleIDs.value();
  lifecycle_.lastCarouselMode = settings_.carouselMode.value();
  const double speed = settings_.animationSpeed.value();
  lifecycle_.springStiffness = speed * speed * timing::kStiffnessPerSpeedSquared;
}

void WindowManager::subscribe() {
  std::weak_ptr<WindowManager> weak = weak_from_this();
  auto& subs = lifecycle_.subscriptions;
  subs.push_back(ports_.workspace.observe(
      [weak](WorkspaceEvent event, const std::optional<RunningApplication>& app) {
        if (auto self = weak.lock()) self->onWorkspaceEvent(event, app);
      }));
  subs.push_back(ports_.workspace.observeScreenParameters([weak] {
    if (auto self = weak.lock()) self->screensChanged();
  }));
  QueueRef main = ports_.dispatch.main();
  subs.push_back(settings_.bindings.subscribe(
      [weak, main](const Bindings&) {
        main->async([weak] {
          if (auto self = weak.lock()) self->syncHotKeys();
        });
      },
      Delivery::skipCurrent));
  subs.push_back(settings_.enabled.subscribe(
      [weak, main](const bool& enabled) {
        main->async([weak, enabled] {
          if (auto self = weak.lock()) self->setEnabled(enabled);
        });
      },
      Delivery::skipCurrent, Repeats::removeDuplicates));
  subs.push_back(settings_.subscribeSettled(main, [weak] {
    if (auto self = weak.lock()) self->settingsChanged();
  }));
}

void WindowManager::observeRunningApplications() {
  // Start-up ends when every application has its observer, or after a
  // while whatever happens; then everything is scanned.
  pipeline_.startupDone = false;
  for (const RunningApplication& app : ports_.workspace.runningApplications()) trackApp(app, 0);
  pipeline_.startupPending = std::set<Pid>(table_.trackingPIDs.begin(), table_.trackingPIDs.end());
  if (pipeline_.startupPending.empty()) {
    finishStartup();
    return;
  }
  ports_.dispatch.main()->asyncAfter(timing::kStartupTimeoutSeconds, [weak = weak_from_this()] {
    if (auto self = weak.lock()) self->finishStartup();
  });
}

void WindowManager::stop(std::function<void()> completion) {
  if (!running_) {
    if (completion) completion();
    return;
  }
  saveLayouts();
  running_ = false;
  stopped_ = true;
  // Restores go first: scans still asked for are dropped.
  pipeline_.dirtyPIDs.clear();
  pipeline_.refreshAllPending = false;
  for (auto& [pid, scan] : pipeline_.scans) scan.again = false;

  for (auto& [id, display] : displays_.states) overlays_->hide(display);
  animator_.stop();
  stopInput();
  stopRecoveryTimer();
  pointer_.interactiveScroll = false;
  pointer_.scrollingDisplayID.reset();
  pointer_.wheelScrollActive = false;

  lifecycle_.subscriptions.clear();

  // Whichever comes first, the restores or the deadline, finishes; the other
  // finds the flag set and does nothing.
  auto finished = std::make_shared<bool>(false);
  auto finish = [weak = weak_from_this(), finished, completion = std::move(completion)] {
    if (*finished) return;
    *finished = true;
    if (auto self = weak.lock()) {
      self->finishStop(completion);
    } else if (completion) {
      completion();
    }
  };
  ports_.dispatch.main()->asyncAfter(timing::kStopWaitSeconds, finish);
  restoreParkedWindows(finish);
}

void WindowManager::finishStop(std::function<void()> completion) {
  recordUnrecovered();
  // A stopped manager hears no more notifications; a later start observes
  // every application afresh.
  table_.observers.clear();
  table_.trackingPIDs.clear();
  emit(ManagerEvent::Kind::stopped);
  if (completion) completion();
}

void WindowManager::setEnabled(bool enabled) {
  syncInterception();
  syncHotKeys();
  if (!enabled) {
    animator_.stop();
    pointer_.interactiveScroll = false;
    pointer_.scrollingDisplayID.reset();
    pointer_.wheelScrollActive = false;
    for (auto& [id, display] : displays_.states) overlays_->hide(display);
    restoreParkedWindows(nullptr);
  } else {
    dropAllMoverRecords();
    resetOffsets();
    scheduleRefresh(std::nullopt);
  }
  stateChanged();
}

void WindowManager::settingsChanged() {
  swipe_.fingers = settings_.swipeFingers.value();
  rebuildDisplays(DisplayInfo::all(ports_.workspace, ports_.windowServer), std::nullopt);
  syncInterception();

  const double speed = settings_.animationSpeed.value();
  lifecycle_.springStiffness = speed * speed * timing::kStiffnessPerSpeedSquared;

  if (settings_.carouselMode.value() != lifecycle_.lastCarouselMode) {
    lifecycle_.lastCarouselMode = settings_.carouselMode.value();
    resetOffsets();
    for (auto& [id, display] : displays_.states) {
      for (auto& [space, strip] : display.strips) {
        strip.scroll.value = strip.scroll.target;
        strip.scroll.velocity = 0;
      }
    }
    for (DisplayState* display : activeDisplays()) snapScrollToFocus(*display);
    startAnimator();
  }

  if (settings_.floatingBundleIDs.value() != lifecycle_.lastFloatingApps) {
    lifecycle_.lastFloatingApps = settings_.floatingBundleIDs.value();
    scheduleRefresh(std::nullopt);
  } else if (managing()) {
    const auto onScreen = readOnScreenWindows();
    for (DisplayState* display : activeDisplays()) reconcileDisplay(*display, onScreen);
    syncFocus(true);
  }

  const bool jump = !settings_.animations.value() || settings_.carouselMode.value();
  for (DisplayState* display : activeDisplays()) {
    Strip& strip = currentStrip(*display);
    const double target = scrollTarget(strip, strip.focusedIndex, geometryFor(*display),
                                       settings_.centerMode.value(), strip.scroll.target);
    strip.scroll.target = target;
    if (jump) {
      strip.scroll.value = target;
      strip.scroll.velocity = 0;
    }
    startAnimator();
  }

  for (auto& [id, display] : displays_.states) overlays_->update(display);
  stateChanged();
}

void WindowManager::onWorkspaceEvent(WorkspaceEvent event,
                                     const std::optional<RunningApplication>& app) {
  if (!running_) return;
  switch (event) {
    case WorkspaceEvent::didLaunchApplication:
      if (app) trackApp(*app, 0);
      break;
    case WorkspaceEvent::didTerminateApplication:
      if (app) appTerminated(app->pid);
      break;
    case WorkspaceEvent::didActivateApplication:
      if (app && !table_.observers.contains(app->pid)) trackApp(*app, 0);
      for (auto& [id, display] : displays_.states) {
        overlays_->reorder(display);
        overlays_->update(display);
      }
      syncFocus(true);
      break;
    case WorkspaceEvent::didHideApplication:
    case WorkspaceEvent::didUnhideApplication:
      scheduleRefresh(app ? std::optional<Pid>(app->pid) : std::nullopt);
      break;
    case WorkspaceEvent::activeSpaceDidChange:
      refreshSpaces(std::nullopt);
      for (auto& [id, display] : displays_.states) overlays_->update(display);
      ports_.dispatch.main()->asyncAfter(timing::kSpaceChangeRefreshSeconds,
                                         [weak = weak_from_this()] {
                                           if (auto self = weak.lock()) {
                                             self->scheduleRefresh(std::nullopt);
                                           }
                                         });
      stateChanged();
      break;
  }
}

std::string WindowManager::statusText() const {
  if (!ports_.ax.isProcessTrusted(TrustPrompt::none)) return "Waiting for Accessibility permission";
  if (!running_) return "Starting\u2026";
  if (!settings_.enabled.value()) return "Paused";
  int managed = 0;
  int shown = 0;
  size_t windowCount = 0;
  for (const DisplayInfo& info : displays_.connected) {
    auto it = displays_.states.find(info.id);
    if (it == displays_.states.end() || !it->second.isManaged) continue;
    ++managed;
    if (it->second.space.isFullscreen) continue;
    ++shown;
    if (const Strip* strip = it->second.currentStrip()) {
      for (const Column& column : strip->columns) windowCount += column.windows.size();
    }
  }
  if (managed == 0) return "Idle \u2014 no connected displays selected";
  if (shown == 0) return "Idle in full-screen Spaces";
  return "Running \u2014 " + std::to_string(windowCount) + " window" +
         (windowCount == 1 ? "" : "s") + " on " + std::to_string(shown) + " display" +
         (shown == 1 ? "" : "s");
}

}  // namespace vistarail
