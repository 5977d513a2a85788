#pragma once
// The narrow interfaces through which the manager drives the parts that come
// with input (hot keys, event taps, swipes) and with the overlays. Both do
// nothing yet: the manager already calls them at the moments that matter
// (start, stop, pause, settings changes, focus changes, every layout), so the
// real implementations only have to fill them in.

#include <string>

namespace vistarail {

struct DisplayState;

class InputHooks {
 public:
  virtual ~InputHooks() = default;
  virtual void start() {}
  virtual void stop() {}
  // Interception and the registered shortcuts depend on whether management
  // is on and some display is active.
  virtual void syncInterception(bool anyActiveDisplay) { (void)anyActiveDisplay; }
  virtual void syncHotKeys(bool anyActiveDisplay) { (void)anyActiveDisplay; }
  virtual void settingsChanged() {}
};

class OverlayHooks {
 public:
  virtual ~OverlayHooks() = default;
  virtual void update(const DisplayState& display) { (void)display; }
  virtual void hide(const DisplayState& display) { (void)display; }
  // Shows the overlays and hides them again shortly after (commands).
  virtual void pulse(const DisplayState& display) { (void)display; }
  // The focus moved: the focus border and dimming must be ordered in front again.
  virtual void reorder(const DisplayState& display) { (void)display; }
};

}  // namespace vistarail
