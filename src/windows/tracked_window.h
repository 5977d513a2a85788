#pragma once
// What the manager knows of a window: the constant handle it shares with the
// mover and the application queues, and what the last scan found.

#include <optional>
#include <string>

#include "base/geometry.h"
#include "base/ids.h"
#include "mover/managed_window.h"
#include "platform/ax_types.h"

namespace vistarail {

// One window as a scan of its application saw it. Built on the application's
// queue, merged on the main queue.
struct WindowSnapshot {
  WindowId id = 0;
  AXElement element;
  bool isTileable = false;
  bool isFullScreen = false;
  std::optional<Rect> frame;
  std::optional<std::string> title;
};

struct TrackedWindow {
  ManagedWindowRef handle;  // id, pid, window and application elements
  std::optional<std::string> bundleID;
  std::optional<std::string> appName;
  std::optional<std::string> title;
  bool isTileable = false;
  bool isFullScreen = false;
  // Top-left space, as read at the last scan that could read it.
  std::optional<Rect> lastKnownFrame;

  WindowId id() const { return handle->id; }
  Pid pid() const { return handle->pid; }
};

}  // namespace vistarail
