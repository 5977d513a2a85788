// Accessibility writes of frames and focus as the real system carries them
// out when Realism asks: landing at the end of their call, gliding under the
// enhanced user interface, activation that fails, lands late or is taken
// over by another application.

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/sim/world/world_core.h"

namespace vistarail::sim::step {

namespace {

// Animation frames come at the display's refresh rate.
constexpr double kAnimationFrameSeconds = 1.0 / 60.0;

Rect between(const Rect& from, const Rect& to, double t) {
  auto mix = [t](double a, double b) { return a + (b - a) * t; };
  return Rect(mix(from.minX(), to.minX()), mix(from.minY(), to.minY()),
              mix(from.width(), to.width()), mix(from.height(), to.height()));
}

bool glides(WorldCore& core, const SimWindow& window) {
  if (!(core.realism.enhancedUIAnimationSeconds > 0)) return false;
  const SimApp* app = core.runningApp(window.pid);
  return app && app->enhancedUserInterface.value_or(false);
}

void glide(WorldCore& core, SimWindow& window, const Rect& target, Outbox& out) {
  const uint64_t generation = core.nextAnimation++;
  core.animations[window.key] = {generation, target};
  const Rect from = window.frame;
  const double seconds = core.realism.enhancedUIAnimationSeconds;
  const int frames = std::max(2, static_cast<int>(std::lround(seconds / kAnimationFrameSeconds)));
  for (int i = 1; i <= frames; ++i) {
    const double t = static_cast<double>(i) / frames;
    // Ease out, as the system's window animations do.
    const double eased = 1 - (1 - t) * (1 - t);
    out.later.push_back({seconds * t, [key = window.key, generation, from, target, eased,
                                       last = i == frames](WorldCore& c, Outbox& o) {
                           auto it = c.animations.find(key);
                           if (it == c.animations.end() || it->second.generation != generation) {
                             return;
                           }
                           if (last) c.animations.erase(it);
                           SimWindow* w = c.findWindow(key);
                           if (!w || w->fullScreen) return;
                           setFrame(c, *w, last ? target : between(from, target, eased), o);
                         }});
  }
}

// The write takes effect: towards the frame a glide under way is heading
// for, so a size written during the glide of a position keeps that position.
void land(WorldCore& core, SimWindow& window, std::optional<Point> position,
          std::optional<Size> size, Outbox& out) {
  if (window.fullScreen) return;
  auto running = core.animations.find(window.key);
  Rect target = running == core.animations.end() ? window.frame : running->second.target;
  if (position) target.origin = *position;
  if (size) target.size = *size;
  if (glides(core, window)) {
    glide(core, window, target, out);
  } else {
    stopAnimation(core, window.key);
    setFrame(core, window, target, out);
  }
}

}  // namespace

void writeFrame(WorldCore& core, SimWindow& window, std::optional<Point> position,
                std::optional<Size> size, Outbox& out) {
  if (!core.realism.writesLandAtEndOfCall) {
    land(core, window, position, size, out);
    return;
  }
  // Handed out when the call returns, which is when its latency has passed.
  out.later.push_back({0, [key = window.key, position, size](WorldCore& c, Outbox& o) {
                         if (SimWindow* w = c.findWindow(key)) land(c, *w, position, size, o);
                       }});
}

void stopAnimation(WorldCore& core, WindowKey window) {
  core.animations.erase(window);
}

namespace {

// Another regular application with a window on screen comes to the front,
// its front window focused.
void stealFront(WorldCore& core, Outbox& out) {
  std::vector<WindowKey> candidates;
  for (WindowKey key : core.zOrder) {
    const SimWindow* w = core.findWindow(key);
    if (!w || w->pid == core.frontmost || !core.isOnScreen(*w)) continue;
    const SimApp* app = core.runningApp(w->pid);
    if (!app || app->activationPolicy != ActivationPolicy::regular) continue;
    if (std::any_of(candidates.begin(), candidates.end(),
                    [&](WindowKey k) { return core.findWindow(k)->pid == w->pid; })) {
      continue;
    }
    candidates.push_back(key);
  }
  if (candidates.empty()) return;
  const int pick = core.rng.below(static_cast<int>(candidates.size()));
  SimWindow& w = *core.findWindow(candidates[static_cast<size_t>(pick)]);
  core.traceLine("application " + std::to_string(w.pid) + " comes to the front by itself");
  activate(core, w.pid, out);
  focusInApp(core, w, out);
}

}  // namespace

void requestFocus(WorldCore& core, Outbox& out, std::function<void(WorldCore&, Outbox&)> change) {
  const FocusModel& model = core.realism.focus;
  if (model.failProbability > 0 && core.rng.unit() < model.failProbability) {
    core.traceLine("focus request comes to nothing");
    return;
  }
  const bool steal = model.stealProbability > 0 && core.rng.unit() < model.stealProbability;
  const double stealAfter = model.stealAfterSeconds;
  auto effect = [change = std::move(change), steal, stealAfter](WorldCore& c, Outbox& o) {
    change(c, o);
    if (steal)
      o.later.push_back({stealAfter, [](WorldCore& c2, Outbox& o2) { stealFront(c2, o2); }});
  };
  if (model.lateSeconds > 0) {
    out.later.push_back({model.lateSeconds, std::move(effect)});
  } else {
    effect(core, out);
  }
}

}  // namespace vistarail::sim::step
