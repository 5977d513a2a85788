#include "platform/sim/dispatch/descriptor_poll.h"

#include <poll.h>

namespace vistarail::sim {

int pollDescriptors(std::vector<PolledDescriptor>& descriptors, int timeoutMilliseconds) {
  std::vector<pollfd> fds;
  fds.reserve(descriptors.size());
  for (PolledDescriptor& d : descriptors) {
    d.ready = false;
    const short events = d.event == DescriptorEvent::readable ? POLLIN : POLLOUT;
    fds.push_back({d.fd, events, 0});
  }
  const int count = ::poll(fds.data(), fds.size(), timeoutMilliseconds);
  if (count <= 0) return 0;
  int ready = 0;
  for (size_t i = 0; i < fds.size(); ++i) {
    // POLLNVAL (a descriptor closed under the watch) is left alone: its
    // owner cancels the watch when it closes it.
    if (fds[i].revents & (POLLIN | POLLOUT | POLLHUP | POLLERR)) {
      descriptors[i].ready = true;
      ++ready;
    }
  }
  return ready;
}

}  // namespace vistarail::sim
