#pragma once
// Where the control socket lives: a directory of the user's own that nobody
// else may enter, so that the socket is reachable by its owner alone.
//
//   $VISTARAIL_SOCKET                          when set (tests, a second copy)
//   $XDG_RUNTIME_DIR/vistarail/control.sock    Linux, per-user runtime directory
//   $TMPDIR/vistarail/control.sock             macOS, the per-user temporary directory
//   /tmp/vistarail-UID/control.sock            neither set

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>

namespace vistarail::control {

using Environment = std::function<std::optional<std::string>(const char* name)>;

// The process's own environment.
Environment processEnvironment();

std::string defaultSocketPath(const Environment& environment, uid_t uid);

// The longest path a Unix-domain socket address holds on every platform the
// program runs on (macOS's sun_path is the shorter).
inline constexpr size_t kMaxSocketPathBytes = 103;

// Makes the socket's directory (mode 0700) when missing, and checks that it
// is a directory of `uid` that no one else may enter or write to. The error
// says what is wrong; nothing is changed in a directory that fails.
std::optional<std::string> prepareSocketDirectory(const std::string& socketPath, uid_t uid);

}  // namespace vistarail::control
