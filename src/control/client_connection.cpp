#include "control/client_connection.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace vistarail::control {

ClientConnection::~ClientConnection() {
  close();
}

ClientConnection::ClientConnection(ClientConnection&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), buffer_(std::move(other.buffer_)), ended_(other.ended_) {}

ClientConnection& ClientConnection::operator=(ClientConnection&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    buffer_ = std::move(other.buffer_);
    ended_ = other.ended_;
  }
  return *this;
}

bool ClientConnection::connect(const std::string& socketPath, std::string& error) {
  close();
  sockaddr_un address{};
  if (socketPath.size() >= sizeof address.sun_path) {
    error = "socket path too long: " + socketPath;
    return false;
  }
  fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd_ < 0) {
    error = std::string("cannot make a socket: ") + std::strerror(errno);
    return false;
  }
#if defined(SO_NOSIGPIPE)
  int on = 1;
  ::setsockopt(fd_, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    error = "cannot connect to " + socketPath + ": " + std::strerror(errno);
    close();
    return false;
  }
  ended_ = false;
  buffer_.clear();
  return true;
}

bool ClientConnection::send(const std::string& bytes) {
  size_t done = 0;
  while (fd_ >= 0 && done < bytes.size()) {
#if defined(MSG_NOSIGNAL)
    const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
#else
    const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, 0);
#endif
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return fd_ >= 0;
}

std::optional<std::string> ClientConnection::bufferedLine() {
  const size_t newline = buffer_.find('\n');
  if (newline == std::string::npos) return std::nullopt;
  std::string line = buffer_.substr(0, newline);
  buffer_.erase(0, newline + 1);
  return line;
}

bool ClientConnection::pump() {
  if (fd_ < 0 || ended_) return false;
  char chunk[16 * 1024];
  while (true) {
    const ssize_t n = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n > 0) {
      buffer_.append(chunk, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    ended_ = true;
    return false;
  }
}

std::optional<std::string> ClientConnection::readLine(double timeoutSeconds) {
  using Clock = std::chrono::steady_clock;
  const auto deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(
                         std::chrono::duration<double>(std::max(0.0, timeoutSeconds)));
  while (true) {
    if (auto line = bufferedLine()) return line;
    if (fd_ < 0 || ended_) return std::nullopt;
    int wait = -1;
    if (timeoutSeconds >= 0) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return std::nullopt;
      wait = static_cast<int>(left.count());
    }
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, wait);
    if (ready < 0 && errno != EINTR) return std::nullopt;
    if (ready > 0) pump();
  }
}

void ClientConnection::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace vistarail::control
