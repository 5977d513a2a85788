#pragma once
// What the manager knows of a window: the constant handle it shares with the
// mover and the application queues, and what the last scan found.

#include <optional>
#include <string>

#include "base/geometry.h"
#include "base/ids.h"
#include "mover/managed_window.h"
#include "platform/ax_types.h"
#include "windows/classification.h"

namespace vistarail {

// One window as a scan of its application saw it: facts read on the
// application's queue, judged on the main queue when merged.
struct WindowSnapshot {
  WindowId id = 0;
  AXElement element;
  WindowFacts facts;
};

struct TrackedWindow {
  ManagedWindowRef handle;  // id, pid, window and application elements
  std::optional<std::string> bundleID;
  std::optional<std::string> appName;
  std::optional<std::string> title;
  bool isTileable = false;
  bool isFullScreen = false;
  // Whether position and size can be set, once a scan has asked.
  std::optional<bool> settable;
  // Top-left space, as read at the last scan that could read it.
  std::optional<Rect> lastKnownFrame;

  WindowId id() const { return handle->id; }
  Pid pid() const { return handle->pid; }
};

}  // namespace vistarail
