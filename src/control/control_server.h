#pragma once
// ControlServer: the program's control socket. A Unix-domain stream socket in
// a directory of the user's own, mode 0600, served on the main queue through
// the dispatch port's descriptor watches: requests are read, answered and
// their replies written without ever blocking the queue, and subscribers get
// events when the window manager's state changes.
//
// Limits (each a constant below or of the protocol): requests up to 64 KiB
// (a longer line is answered with an error and the connection closed), 64
// clients at once, a bounded queue per client (events beyond it are dropped
// and announced with a "lagged" event; replies beyond the hard limit close
// the connection). A client that goes away mid-reply is simply forgotten.
//
// Main queue only. Create with start(); the socket is removed when the server
// is closed or destroyed.

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/app_settings.h"
#include "control/connection_buffers.h"
#include "control/event_tracker.h"
#include "control/protocol.h"
#include "platform/dispatch.h"
#include "windows/window_manager.h"

namespace vistarail::control {

struct ServerLimits {
  size_t maxClients = 64;
  size_t eventQueueBytes = 256 * 1024;
  size_t hardQueueBytes = 4 * 1024 * 1024;
  // The send buffer of each connection in the kernel; 0: the system's.
  int socketBufferBytes = 0;
};

class ControlServer : public std::enable_shared_from_this<ControlServer> {
 public:
  // Binds and listens at `socketPath` (making its directory if needed). A
  // socket left by a copy of the program that is gone is replaced; one that
  // still answers is not, and the error says so.
  static std::shared_ptr<ControlServer> start(const std::string& socketPath, Dispatch& dispatch,
                                              std::shared_ptr<WindowManager> manager,
                                              AppSettings& settings, std::string& error,
                                              ServerLimits limits = {});
  ~ControlServer();
  ControlServer(const ControlServer&) = delete;
  ControlServer& operator=(const ControlServer&) = delete;

  // Closes every connection and removes the socket.
  void close();

  const std::string& path() const { return path_; }
  size_t clientCount() const { return clients_.size(); }
  size_t subscriberCount() const;
  // Connections turned away: another user, or too many clients.
  uint64_t refusedCount() const { return refused_; }
  // Events dropped for subscribers that did not keep up.
  uint64_t droppedEvents() const { return dropped_; }
  // Looks at the state (coalesced with other changes) and sends what changed.
  void publishChanges();

 private:
  struct Token {};

 public:
  ControlServer(Token, Dispatch& dispatch, std::shared_ptr<WindowManager> manager,
                AppSettings& settings, ServerLimits limits);

 private:
  struct Client {
    int fd = -1;
    DescriptorWatchRef readWatch;
    DescriptorWatchRef writeWatch;
    LineReader in{kMaxRequestBytes};
    Outbox out;
    bool subscribed = false;
    std::set<std::string> events;  // empty: all
    bool closing = false;          // close once the outbox is written
    bool cutOff = false;           // replies past the hard limit: close at once
    Client(size_t eventLimit, size_t hardLimit) : out(eventLimit, hardLimit) {}
  };

  bool listen(const std::string& path, std::string& error);
  void acceptClients();
  void refuse(int fd, const std::string& why);
  void readClient(uint64_t id);
  void answer(uint64_t id, Client& client, const std::string& line);
  void flushClient(uint64_t id);
  void dropClient(uint64_t id);
  void changed(bool settled);
  void sendEvents();

  Dispatch& dispatch_;
  std::shared_ptr<WindowManager> manager_;
  AppSettings& settings_;
  ServerLimits limits_;
  std::string path_;
  int listenFd_ = -1;
  uid_t uid_ = 0;
  DescriptorWatchRef listenWatch_;
  std::map<uint64_t, std::unique_ptr<Client>> clients_;
  uint64_t nextClient_ = 1;
  uint64_t refused_ = 0;
  uint64_t dropped_ = 0;
  // Events: the last look, whether one is queued, and whether the strips
  // came to rest since the last one.
  std::optional<Observed> observed_;
  bool lookScheduled_ = false;
  bool settledSinceLook_ = false;
  Subscription managerChanges_;
  Subscription settingsChanges_;
};

}  // namespace vistarail::control
