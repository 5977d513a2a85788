// What the simulated elements answer: attribute values, writes, settability
// and actions, with the error codes the real services give.
//
// An attribute the element does not have gives attributeUnsupported; one it
// has but that holds nothing now (no subrole, no focused window, no document)
// gives noValue; writing an attribute that exists but is read-only gives
// failure; a value of the wrong type gives illegalArgument.

#include <string>

#include "platform/ax_names.h"
#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

namespace {

CallOutcome ok(AXValue v) {
  return {AXError::success, std::move(v)};
}
CallOutcome fail(AXError e) {
  return {e, std::nullopt};
}
CallOutcome done() {
  return {AXError::success, std::nullopt};
}

CallOutcome presence(Presence p, AXError error, AXValue value) {
  switch (p) {
    case Presence::present:
      return ok(std::move(value));
    case Presence::absent:
      return fail(AXError::noValue);
    case Presence::error:
      return fail(error);
  }
  return fail(AXError::failure);
}

// Like the real list: the windows on the Spaces shown now, and minimised
// windows wherever they are; front to back.
std::vector<AXElement> listedWindows(const WorldCore& core, Pid pid) {
  std::vector<AXElement> result;
  for (WindowKey key : core.appWindowsFrontToBack(pid)) {
    const SimWindow& w = core.windows.at(key);
    if (w.minimized || core.isShownOnCurrentSpace(w)) {
      result.push_back(makeElement(windowRef(pid, key)));
    }
  }
  return result;
}

CallOutcome readApplication(const WorldCore& core, const SimApp& app, std::string_view a) {
  if (a == ax::kRole) return ok(std::string(ax::kApplicationRole));
  if (a == ax::kTitle) return ok(app.name);
  if (a == ax::kWindows) return ok(listedWindows(core, app.pid));
  if (a == ax::kFocusedWindow || a == ax::kMainWindow) {
    if (!app.focusedWindow) return fail(AXError::noValue);
    const SimWindow* w = core.findWindow(*app.focusedWindow);
    if (!w || w->minimized) return fail(AXError::noValue);
    return ok(makeElement(windowRef(app.pid, w->key)));
  }
  if (a == ax::kFrontmost) return ok(core.frontmost == app.pid);
  if (a == ax::kHidden) return ok(app.hidden);
  if (a == ax::kEnhancedUserInterface) {
    if (!app.enhancedUserInterface) return fail(AXError::attributeUnsupported);
    return ok(*app.enhancedUserInterface);
  }
  return fail(AXError::attributeUnsupported);
}

CallOutcome readWindow(const WorldCore& core, const SimWindow& w, std::string_view a) {
  const SimApp& app = core.apps.at(w.pid);
  if (a == ax::kRole) return ok(w.role);
  if (a == ax::kSubrole) return w.subrole ? ok(*w.subrole) : fail(AXError::noValue);
  if (a == ax::kModal) return ok(w.modal);
  if (a == ax::kParent) {
    if (w.parent && core.findWindow(*w.parent)) return ok(makeElement(windowRef(w.pid, *w.parent)));
    return ok(makeElement(applicationRef(w.pid)));
  }
  if (a == ax::kWindow) {
    const WindowKey owner = w.owner && core.findWindow(*w.owner) ? *w.owner : w.key;
    return ok(makeElement(windowRef(w.pid, owner)));
  }
  if (a == ax::kMinimizeButton) {
    return presence(w.minimizeButton, w.presenceError,
                    makeElement({ElementKind::minimizeButton, w.pid, w.key}));
  }
  if (a == ax::kFullScreenButton) {
    return presence(w.fullScreenButton, w.presenceError,
                    makeElement({ElementKind::fullScreenButton, w.pid, w.key}));
  }
  if (a == ax::kDocument) {
    return presence(w.document, w.presenceError,
                    std::string("file:///Users/sim/Documents/") + std::to_string(w.key));
  }
  if (a == ax::kFullScreen) return ok(w.fullScreen);
  if (a == ax::kPosition) return ok(w.frame.origin);
  if (a == ax::kSize) return ok(w.frame.size);
  if (a == ax::kTitle) return ok(w.title);
  if (a == ax::kMinimized) return ok(w.minimized);
  if (a == ax::kMain) return ok(app.focusedWindow == w.key);
  if (a == ax::kFocused) return ok(app.focusedWindow == w.key && core.frontmost == w.pid);
  return fail(AXError::attributeUnsupported);
}

CallOutcome readButton(const ElementRef& ref, std::string_view a) {
  if (a == ax::kRole) return ok(std::string(ax::kButtonRole));
  if (a == ax::kSubrole) {
    return ok(std::string(ref.kind == ElementKind::minimizeButton ? ax::kMinimizeButton
                                                                  : ax::kFullScreenButton));
  }
  if (a == ax::kParent || a == ax::kWindow) return ok(makeElement(windowRef(ref.pid, ref.window)));
  if (a == ax::kEnabled) return ok(true);
  return fail(AXError::attributeUnsupported);
}

CallOutcome readSystemWide(const WorldCore& core, std::string_view a) {
  if (a == ax::kRole) return ok(std::string(ax::kSystemWideRole));
  if (a == ax::kFocusedApplication) {
    if (!core.frontmost) return fail(AXError::noValue);
    return ok(makeElement(applicationRef(*core.frontmost)));
  }
  return fail(AXError::attributeUnsupported);
}

// A write to an attribute that is not writable: failure when the element has
// it, attributeUnsupported when it does not.
CallOutcome notWritable(WorldCore& core, const ElementRef& ref, std::string_view a) {
  const bool known = readAttribute(core, ref, a).error != AXError::attributeUnsupported;
  return fail(known ? AXError::failure : AXError::attributeUnsupported);
}

CallOutcome writeApplication(WorldCore& core, SimApp& app, std::string_view a, const AXValue& value,
                             Outbox& out) {
  const auto flag = asBool(value);
  if (a == ax::kFrontmost) {
    if (!flag) return fail(AXError::illegalArgument);
    if (*flag) {
      step::requestFocus(core, out,
                         [pid = app.pid](WorldCore& c, Outbox& o) { step::activate(c, pid, o); });
    }
    return done();
  }
  if (a == ax::kHidden) {
    if (!flag) return fail(AXError::illegalArgument);
    *flag ? step::hide(core, app, out) : step::unhide(core, app, out);
    return done();
  }
  if (a == ax::kEnhancedUserInterface) {
    if (!app.enhancedUserInterface) return fail(AXError::attributeUnsupported);
    if (!flag) return fail(AXError::illegalArgument);
    app.enhancedUserInterface = *flag;
    return done();
  }
  return notWritable(core, applicationRef(app.pid), a);
}

CallOutcome writeWindow(WorldCore& core, SimWindow& w, std::string_view a, const AXValue& value,
                        Outbox& out) {
  const Behaviour& behaviour = *core.behaviourFor(windowRef(w.pid, w.key));
  if (a == ax::kPosition) {
    const auto point = asPoint(value);
    if (!point) return fail(AXError::illegalArgument);
    if (!w.positionSettable) return fail(AXError::failure);
    if (w.fullScreen) return done();
    if (behaviour.ignoresMoves) {
      if (*point != w.frame.origin) w.lastMoveIgnored = true;
      return done();
    }
    step::writeFrame(core, w, *point, std::nullopt, out);
    return done();
  }
  if (a == ax::kSize) {
    const auto size = asSize(value);
    if (!size) return fail(AXError::illegalArgument);
    if (!w.sizeSettable) return fail(AXError::failure);
    if (w.fullScreen) return done();
    step::writeFrame(core, w, std::nullopt, step::applySizeLimits(w, behaviour, *size), out);
    return done();
  }
  const auto flag = asBool(value);
  if (a == ax::kMain || a == ax::kFocused) {
    if (!flag) return fail(AXError::illegalArgument);
    if (*flag && !w.minimized) {
      step::requestFocus(core, out, [key = w.key](WorldCore& c, Outbox& o) {
        SimWindow* window = c.findWindow(key);
        if (window && !window->minimized) step::focusInApp(c, *window, o);
      });
    }
    return done();
  }
  if (a == ax::kMinimized) {
    if (!flag) return fail(AXError::illegalArgument);
    if (w.minimizeButton != Presence::present) return fail(AXError::failure);
    *flag ? step::minimize(core, w, out) : step::unminimize(core, w, out);
    return done();
  }
  if (a == ax::kFullScreen) {
    if (!flag) return fail(AXError::illegalArgument);
    if (w.fullScreenButton != Presence::present) return fail(AXError::failure);
    *flag ? step::enterFullScreen(core, w, out) : step::exitFullScreen(core, w, out);
    return done();
  }
  return notWritable(core, windowRef(w.pid, w.key), a);
}

}  // namespace

CallOutcome readAttribute(WorldCore& core, const ElementRef& ref, std::string_view attribute) {
  switch (ref.kind) {
    case ElementKind::systemWide:
      return readSystemWide(core, attribute);
    case ElementKind::application: {
      const SimApp* app = core.runningApp(ref.pid);
      return app ? readApplication(core, *app, attribute) : fail(AXError::cannotComplete);
    }
    case ElementKind::window: {
      const SimWindow* w = core.findWindow(ref.window);
      return w ? readWindow(core, *w, attribute) : fail(AXError::invalidUIElement);
    }
    case ElementKind::minimizeButton:
    case ElementKind::fullScreenButton:
      return readButton(ref, attribute);
  }
  return fail(AXError::illegalArgument);
}

CallOutcome writeAttribute(WorldCore& core, const ElementRef& ref, std::string_view attribute,
                           const AXValue& value, Outbox& out) {
  switch (ref.kind) {
    case ElementKind::application: {
      SimApp* app = core.runningApp(ref.pid);
      return app ? writeApplication(core, *app, attribute, value, out)
                 : fail(AXError::cannotComplete);
    }
    case ElementKind::window: {
      SimWindow* w = core.findWindow(ref.window);
      return w ? writeWindow(core, *w, attribute, value, out) : fail(AXError::invalidUIElement);
    }
    case ElementKind::systemWide:
    case ElementKind::minimizeButton:
    case ElementKind::fullScreenButton:
      return notWritable(core, ref, attribute);
  }
  return fail(AXError::illegalArgument);
}

CallOutcome attributeSettable(WorldCore& core, const ElementRef& ref, std::string_view a) {
  if (ref.kind == ElementKind::application) {
    const SimApp* app = core.runningApp(ref.pid);
    if (!app) return fail(AXError::cannotComplete);
    if (a == ax::kFrontmost || a == ax::kHidden) return ok(true);
    if (a == ax::kEnhancedUserInterface && app->enhancedUserInterface) return ok(true);
  }
  if (ref.kind == ElementKind::window) {
    const SimWindow* w = core.findWindow(ref.window);
    if (!w) return fail(AXError::invalidUIElement);
    if (a == ax::kPosition) return ok(w->positionSettable);
    if (a == ax::kSize) return ok(w->sizeSettable);
    if (a == ax::kMain || a == ax::kFocused) return ok(true);
    if (a == ax::kMinimized) return ok(w->minimizeButton == Presence::present);
    if (a == ax::kFullScreen) return ok(w->fullScreenButton == Presence::present);
  }
  const CallOutcome read = readAttribute(core, ref, a);
  if (read.error == AXError::attributeUnsupported) return read;
  return ok(false);
}

CallOutcome performElementAction(WorldCore& core, const ElementRef& ref, std::string_view action,
                                 Outbox& out) {
  SimWindow* w = ref.kind == ElementKind::systemWide || ref.kind == ElementKind::application
                     ? nullptr
                     : core.findWindow(ref.window);
  if (ref.kind == ElementKind::window && w && action == ax::kRaise) {
    // Raising makes the window its application's main window; the
    // application itself stays where it is.
    if (!w->minimized) {
      step::requestFocus(core, out, [key = w->key](WorldCore& c, Outbox& o) {
        SimWindow* window = c.findWindow(key);
        if (window && !window->minimized) step::focusInApp(c, *window, o);
      });
    }
    return done();
  }
  if (ref.kind == ElementKind::minimizeButton && w && action == ax::kPress) {
    step::minimize(core, *w, out);
    return done();
  }
  if (ref.kind == ElementKind::fullScreenButton && w && action == ax::kPress) {
    w->fullScreen ? step::exitFullScreen(core, *w, out) : step::enterFullScreen(core, *w, out);
    return done();
  }
  return fail(AXError::actionUnsupported);
}

}  // namespace vistarail::sim
