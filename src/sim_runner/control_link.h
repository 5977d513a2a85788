#pragma once
// A scenario's side of the program's control socket: one connection for
// requests, answered in virtual time, and subscriber connections whose events
// land in the timeline as they arrive. Real sockets: the program's server is
// the one that runs on a Mac.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/client_connection.h"
#include "platform/sim/dispatch/virtual_dispatch.h"

namespace vistarail::simrun {

class ControlLink {
 public:
  // Where each event line goes (the timeline).
  using EventSink = std::function<void(const std::string& line)>;
  ControlLink(sim::VirtualDispatch& dispatch, std::string socketPath, EventSink sink);
  ~ControlLink();

  const std::string& socketPath() const { return path_; }

  // Sends one request line and lets virtual time pass until its reply comes
  // (at most `timeoutSeconds`); absent when none came. Connects first when
  // needed (after a relaunch, the server is a new one).
  std::optional<std::string> request(const std::string& line, double timeoutSeconds,
                                     std::string& error);
  // Opens a subscriber connection with the subscribe request's line; its
  // reply is returned like a request's, and its events go to the sink.
  std::optional<std::string> subscribe(const std::string& line, double timeoutSeconds,
                                       std::string& error);
  // Connections the program closed are forgotten (it quit).
  void dropClosed();

 private:
  struct Subscriber;
  std::optional<std::string> awaitLine(control::ClientConnection& connection,
                                       double timeoutSeconds);

  sim::VirtualDispatch& dispatch_;
  std::string path_;
  EventSink sink_;
  control::ClientConnection requests_;
  QueueRef queue_;
  std::vector<std::shared_ptr<Subscriber>> subscribers_;
};

}  // namespace vistarail::simrun
