#pragma once
// Who may speak to the control socket: the user the program runs as, and no
// one else. The directory the socket lives in already keeps other users out;
// the check on accept holds even where that directory is shared or its mode
// was loosened.

#include <sys/types.h>

#include <optional>

namespace vistarail::control {

// Whether a peer whose user id is `peer` (absent: could not be read) may
// connect to a server running as `own`. Unknown peers are refused; root is
// not let in to another user's program either.
bool peerMayConnect(std::optional<uid_t> peer, uid_t own);

// The user id of the process at the other end of a connected Unix-domain
// socket (SO_PEERCRED on Linux, getpeereid on macOS); absent when the system
// cannot say.
std::optional<uid_t> peerUserId(int fd);

}  // namespace vistarail::control
