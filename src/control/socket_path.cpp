#include "control/socket_path.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vistarail::control {

Environment processEnvironment() {
  return [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
  };
}

std::string defaultSocketPath(const Environment& environment, uid_t uid) {
  if (auto explicitPath = environment("VISTARAIL_SOCKET")) return *explicitPath;
#if defined(__APPLE__)
  const char* base = "TMPDIR";
#else
  const char* base = "XDG_RUNTIME_DIR";
#endif
  if (auto dir = environment(base)) {
    std::string d = *dir;
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    return d + "/vistarail/control.sock";
  }
  return "/tmp/vistarail-" + std::to_string(uid) + "/control.sock";
}

std::optional<std::string> prepareSocketDirectory(const std::string& socketPath, uid_t uid) {
  if (socketPath.size() > kMaxSocketPathBytes) {
    return "socket path longer than " + std::to_string(kMaxSocketPathBytes) +
           " bytes: " + socketPath;
  }
  const size_t slash = socketPath.rfind('/');
  if (slash == std::string::npos || slash == 0)
    return "socket path needs a directory: " + socketPath;
  const std::string dir = socketPath.substr(0, slash);
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
    return "cannot make " + dir + ": " + std::strerror(errno);
  }
  struct stat info {};
  if (::lstat(dir.c_str(), &info) != 0) return "cannot read " + dir + ": " + std::strerror(errno);
  if (!S_ISDIR(info.st_mode)) return dir + " is not a directory";
  if (info.st_uid != uid) return dir + " belongs to another user";
  if (info.st_mode & (S_IRWXG | S_IRWXO))
    return dir + " is open to other users (mode should be 0700)";
  return std::nullopt;
}

}  // namespace vistarail::control
