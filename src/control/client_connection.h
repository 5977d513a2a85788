#pragma once
// The client side of the control socket, blocking: what `vistarail msg`, the
// tests and the benchmarks use to speak to a running program.

#include <chrono>
#include <optional>
#include <string>

namespace vistarail::control {

class ClientConnection {
 public:
  ClientConnection() = default;
  ~ClientConnection();
  ClientConnection(ClientConnection&& other) noexcept;
  ClientConnection& operator=(ClientConnection&& other) noexcept;
  ClientConnection(const ClientConnection&) = delete;
  ClientConnection& operator=(const ClientConnection&) = delete;

  // Connects; the error says why not.
  bool connect(const std::string& socketPath, std::string& error);
  bool connected() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // Writes all of it (a request line needs its newline); false when the
  // server is gone.
  bool send(const std::string& bytes);
  // The next line without its newline; absent once the server closed the
  // connection, or after the time-out (negative: wait for ever).
  std::optional<std::string> readLine(double timeoutSeconds = -1);
  // A line already received, without waiting; absent when none is complete.
  std::optional<std::string> bufferedLine();
  // Reads what has arrived without waiting; false once the server closed.
  bool pump();
  void close();

 private:
  int fd_ = -1;
  std::string buffer_;
  bool ended_ = false;
};

}  // namespace vistarail::control
