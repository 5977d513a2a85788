#pragma once
// Readiness of file descriptors by poll(2), shared by the simulator's
// dispatchers: which of a set of descriptors is ready for its event now, or
// within a time-out. A hang-up or an error counts as ready for either event.

#include <vector>

#include "platform/dispatch.h"

namespace vistarail::sim {

struct PolledDescriptor {
  int fd = -1;
  DescriptorEvent event = DescriptorEvent::readable;
  bool ready = false;  // filled in
};

// Waits at most timeoutMilliseconds (0: not at all) for any of them to be
// ready; returns how many are. Interrupted waits count as none ready.
int pollDescriptors(std::vector<PolledDescriptor>& descriptors, int timeoutMilliseconds);

}  // namespace vistarail::sim
