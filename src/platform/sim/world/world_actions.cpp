// What a user (or an application on its own) does to applications and windows.

#include <algorithm>

#include "platform/ax_names.h"
#include "platform/sim/world/world.h"
#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

namespace {

std::string quoted(const std::string& s) {
  return "\"" + s + "\"";
}

// Closing, minimising and entering or leaving full screen are the window's
// own application's work when its button is clicked: one that does not
// answer leaves the click unanswered. Traces the click either way.
bool clickAnswered(WorldCore& c, const SimWindow& w, WindowKey window, const std::string& what) {
  const std::string line = "user " + what + " window " + std::to_string(window);
  if (const Behaviour* b = c.behaviourFor(windowRef(w.pid, window)); b && b->hung) {
    c.traceLine(line + ": its application does not answer");
    return false;
  }
  c.traceLine(line);
  return true;
}

// A new window opens in front of its application's windows, which are at the
// very front only when the application is; one that stays behind opens just
// behind the application's front window.
void placeNewWindow(WorldCore& c, const SimWindow& w, WindowFocus focus) {
  const auto own = c.appWindowsFrontToBack(w.pid);
  auto pos = c.zOrder.begin();
  // In front of the program's panels, which are ordered relative to windows.
  if (!own.empty()) {
    pos = std::find(c.zOrder.begin(), c.zOrder.end(), own.front());
    if (focus == WindowFocus::staysBehind) ++pos;
  } else if (c.frontmost && c.frontmost != w.pid) {
    pos = std::find_if(c.zOrder.begin(), c.zOrder.end(), [&](WindowKey k) {
      const SimWindow* other = c.findWindow(k);
      return other && other->pid != *c.frontmost;
    });
  }
  c.zOrder.insert(pos, w.key);
}

}  // namespace

Pid World::launchApp(AppSetup setup, LaunchActivation activation) {
  Pid pid = 0;
  core_->step([&](Outbox& out) {
    WorldCore& c = *core_;
    if (setup.pid == 0) {
      while (c.apps.contains(c.nextPid)) ++c.nextPid;
      setup.pid = c.nextPid++;
    }
    if (setup.pid < 0 || c.runningApp(setup.pid)) return false;
    pid = setup.pid;
    // A new process with the pid of one that ended: the old observers were
    // bound to the old process and hear nothing of the new one.
    std::erase_if(c.observers, [&](const auto& entry) { return entry.second.pid == pid; });
    c.traceLine("user launches " + quoted(setup.name) + " as " + std::to_string(pid));
    SimApp app;
    static_cast<AppSetup&>(app) = std::move(setup);
    c.apps[pid] = std::move(app);
    std::erase(c.launchOrder, pid);
    c.launchOrder.push_back(pid);
    c.emitWorkspace(out, WorkspaceEvent::didLaunchApplication, c.runningApplication(c.apps[pid]));
    if (activation == LaunchActivation::activates) step::activate(c, pid, out);
    return true;
  });
  return pid;
}

bool World::quitApp(Pid pid) {
  return core_->step([&](Outbox& out) {
    WorldCore& c = *core_;
    SimApp* app = c.runningApp(pid);
    if (!app) return false;
    c.traceLine("user quits " + std::to_string(pid));
    for (WindowKey key : c.appWindowsFrontToBack(pid)) {
      app->focusedWindow.reset();  // no refocusing while everything closes
      step::close(c, key, out);
    }
    app->terminated = true;
    app->focusedWindow.reset();
    c.emitWorkspace(out, WorkspaceEvent::didTerminateApplication, c.runningApplication(*app));
    if (c.frontmost == pid) step::chooseFrontmost(c, out);
    return true;
  });
}

bool World::hideApp(Pid pid) {
  return core_->step([&](Outbox& out) {
    SimApp* app = core_->runningApp(pid);
    if (!app) return false;
    core_->traceLine("user hides " + std::to_string(pid));
    step::hide(*core_, *app, out);
    return true;
  });
}

bool World::unhideApp(Pid pid) {
  return core_->step([&](Outbox& out) {
    SimApp* app = core_->runningApp(pid);
    if (!app) return false;
    core_->traceLine("user unhides " + std::to_string(pid));
    step::unhide(*core_, *app, out);
    return true;
  });
}

bool World::activateApp(Pid pid) {
  return core_->step([&](Outbox& out) {
    if (!core_->runningApp(pid)) return false;
    core_->traceLine("user activates " + std::to_string(pid));
    step::activate(*core_, pid, out);
    return true;
  });
}

WindowKey World::openWindow(Pid pid, WindowSetup setup, WindowFocus focus) {
  WindowKey key = 0;
  core_->step([&](Outbox& out) {
    WorldCore& c = *core_;
    SimApp* app = c.runningApp(pid);
    if (!app) return false;
    SimWindow w;
    static_cast<WindowSetup&>(w) = std::move(setup);
    w.key = key = c.nextWindowKey++;
    w.pid = pid;
    if (!w.number) w.number = c.nextWindowNumber++;
    if (!w.space || !c.displayOfSpace(*w.space)) {
      SimDisplay* d = c.spaceHolder(c.displayForRect(w.frame));
      w.space = d ? WorldCore::spaceForNewWindow(*d) : 0;
    }
    const Behaviour& behaviour = w.behaviour ? *w.behaviour : app->behaviour;
    w.frame.size = step::applySizeLimits(w, behaviour, w.frame.size);
    if (c.realism.clampSizesToScreen && w.sizeSettable) {
      if (const SimDisplay* d = c.displayForRect(w.frame)) {
        w.frame.size.width = std::min(w.frame.width(), d->visibleFrame.width());
        w.frame.size.height = std::min(w.frame.height(), d->visibleFrame.height());
      }
    }
    w.openedFrame = w.frame;
    c.traceLine("open window " + std::to_string(key) + " " + quoted(w.title) + " of " +
                std::to_string(pid) + " number " + std::to_string(*w.number) + " at " +
                formatRect(w.frame));
    if (behaviour.movesNewWindows) {
      const SelfMove& m = *behaviour.movesNewWindows;
      const Rect target = m.frame ? *m.frame : w.frame.offsetBy(m.offset.x, m.offset.y);
      out.selfMoves.push_back({key, m.delaySeconds, target});
    }
    auto [it, inserted] = c.windows.emplace(key, std::move(w));
    placeNewWindow(c, it->second, focus);
    // Sheets announce themselves as sheets.
    const bool sheet = it->second.role == ax::kSheetRole;
    c.emit(out, windowRef(pid, key), sheet ? ax::kSheetCreated : ax::kWindowCreated);
    if (focus == WindowFocus::takesFocus && !it->second.minimized) {
      step::focusInApp(c, it->second, out);
    }
    return true;
  });
  return key;
}

bool World::closeWindow(WindowKey window) {
  return core_->step([&](Outbox& out) {
    SimWindow* w = core_->findWindow(window);
    if (!w) return false;
    if (!clickAnswered(*core_, *w, window, "closes")) return false;
    step::close(*core_, window, out);
    return true;
  });
}

bool World::minimizeWindow(WindowKey window) {
  return core_->step([&](Outbox& out) {
    SimWindow* w = core_->findWindow(window);
    if (!w || w->minimized || w->fullScreen) return false;
    if (!clickAnswered(*core_, *w, window, "minimizes")) return false;
    step::minimize(*core_, *w, out);
    return true;
  });
}

bool World::unminimizeWindow(WindowKey window) {
  return core_->step([&](Outbox& out) {
    SimWindow* w = core_->findWindow(window);
    if (!w || !w->minimized) return false;
    core_->traceLine("user unminimizes window " + std::to_string(window));
    step::unminimize(*core_, *w, out);
    return true;
  });
}

bool World::dragWindow(WindowKey window, Rect frame) {
  return core_->step([&](Outbox& out) {
    SimWindow* w = core_->findWindow(window);
    if (!w || w->fullScreen || w->minimized) return false;
    core_->traceLine("user drags window " + std::to_string(window) + " to " + formatRect(frame));
    const Behaviour& behaviour = *core_->behaviourFor(windowRef(w->pid, window));
    frame.size = step::applySizeLimits(*w, behaviour, frame.size);
    step::stopAnimation(*core_, window);
    step::setFrame(*core_, *w, frame, out);
    w->placedByHand = w->frame;
    return true;
  });
}

bool World::appMovesWindow(WindowKey window, Rect frame) {
  return core_->step([&](Outbox& out) { return step::moveByApp(*core_, window, frame, out); });
}

bool World::focusWindow(WindowKey window) {
  return core_->step([&](Outbox& out) {
    SimWindow* w = core_->findWindow(window);
    if (!w || w->minimized || !core_->isOnScreen(*w)) return false;
    core_->traceLine("user clicks window " + std::to_string(window));
    step::activate(*core_, w->pid, out);
    step::focusInApp(*core_, *w, out);
    return true;
  });
}

bool World::setWindowTitle(WindowKey window, std::string title) {
  return core_->step([&](Outbox& out) {
    SimWindow* w = core_->findWindow(window);
    if (!w) return false;
    if (w->title == title) return true;
    core_->traceLine("title of window " + std::to_string(window) + " becomes " + quoted(title));
    w->title = std::move(title);
    core_->emit(out, windowRef(w->pid, window), ax::kTitleChanged);
    return true;
  });
}

bool World::enterFullScreen(WindowKey window) {
  return core_->step([&](Outbox& out) {
    SimWindow* w = core_->findWindow(window);
    if (!w) return false;
    if (!clickAnswered(*core_, *w, window, "enters full screen with")) return false;
    return step::enterFullScreen(*core_, *w, out);
  });
}

bool World::exitFullScreen(WindowKey window) {
  return core_->step([&](Outbox& out) {
    SimWindow* w = core_->findWindow(window);
    if (!w) return false;
    if (!clickAnswered(*core_, *w, window, "leaves full screen with")) return false;
    // Every way a person leaves full screen (the green button, the menu,
    // Escape) acts on the window in front: one whose Space is not shown is
    // shown first, as the system switches to it.
    SimDisplay* d = core_->displayOfSpace(w->space.value_or(0));
    if (w->fullScreen && d && d->currentSpace != w->space) {
      d->currentSpace = *w->space;
      core_->emitWorkspace(out, WorkspaceEvent::activeSpaceDidChange, std::nullopt);
    }
    return step::exitFullScreen(*core_, *w, out);
  });
}

void World::schedule(double delaySeconds, std::function<void()> action) {
  if (!action) return;
  core_->appQueue->asyncAfter(delaySeconds,
                              [weak = std::weak_ptr<WorldCore>(core_), action = std::move(action)] {
                                if (weak.lock()) action();
                              });
}

}  // namespace vistarail::sim
