#include "control/peer_credentials.h"

#include <sys/socket.h>
#include <unistd.h>

namespace vistarail::control {

bool peerMayConnect(std::optional<uid_t> peer, uid_t own) {
  return peer.has_value() && *peer == own;
}

std::optional<uid_t> peerUserId(int fd) {
#if defined(__APPLE__)
  uid_t uid = 0;
  gid_t gid = 0;
  if (getpeereid(fd, &uid, &gid) != 0) return std::nullopt;
  return uid;
#elif defined(SO_PEERCRED)
  ucred credentials{};
  socklen_t size = sizeof credentials;
  if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 ||
      size != sizeof credentials) {
    return std::nullopt;
  }
  return credentials.uid;
#else
  (void)fd;
  return std::nullopt;
#endif
}

}  // namespace vistarail::control
