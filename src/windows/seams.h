#pragma once
// The narrow interface through which the manager drives the parts that come
// with input (hot keys, event taps, swipes). It does nothing yet: the manager
// already calls it at the moments that matter (start, stop, pause, settings
// changes, focus changes), so the real implementation only has to fill it in.

#include <string>

namespace vistarail {

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

}  // namespace vistarail
