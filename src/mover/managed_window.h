#pragma once
// The mover's view of a window it may move. The window manager keeps one of
// these per known window and adds its own bookkeeping; the fields here never
// change after creation, which is what lets application queues read them while
// the main thread owns the rest.

#include <memory>

#include "base/ids.h"
#include "platform/ax_types.h"

namespace vistarail {

struct ManagedWindow {
  WindowId id = 0;
  Pid pid = 0;
  AXElement element;     // the window
  AXElement appElement;  // its application

  friend bool operator==(const ManagedWindow&, const ManagedWindow&) = default;
};

// Windows are shared between the main thread and application queues; only the
// constant fields above are read off the main thread.
using ManagedWindowRef = std::shared_ptr<const ManagedWindow>;

}  // namespace vistarail
