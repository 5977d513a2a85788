#include "control/control_server.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "control/peer_credentials.h"
#include "control/request_handler.h"
#include "control/socket_path.h"

namespace vistarail::control {

namespace {

// Bytes read from one client per turn of the main queue: a client that
// floods the socket gets its share, the rest of the program gets the queue.
constexpr size_t kReadPerTurn = 256 * 1024;
constexpr size_t kReadChunk = 16 * 1024;

bool setNonBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL, 0);
  return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
         ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

// Writes without raising SIGPIPE when the peer is gone.
long sendSome(int fd, const char* data, size_t size) {
#if defined(MSG_NOSIGNAL)
  const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
#else
  const ssize_t n = ::send(fd, data, size, 0);  // SO_NOSIGPIPE is set on the socket
#endif
  if (n >= 0) return static_cast<long>(n);
  if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
  return -1;
}

void noSigPipe([[maybe_unused]] int fd) {
#if defined(SO_NOSIGPIPE)
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
}

sockaddr_un addressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), std::min(path.size() + 1, sizeof address.sun_path));
  return address;
}

// Whether a program answers at the path now.
bool someoneListens(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un address = addressOf(path);
  const bool answered = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return answered;
}

}  // namespace

std::shared_ptr<ControlServer> ControlServer::start(const std::string& socketPath,
                                                    Dispatch& dispatch,
                                                    std::shared_ptr<WindowManager> manager,
                                                    AppSettings& settings, std::string& error,
                                                    ServerLimits limits) {
  auto server =
      std::make_shared<ControlServer>(Token{}, dispatch, std::move(manager), settings, limits);
  if (!server->listen(socketPath, error)) return nullptr;
  return server;
}

ControlServer::ControlServer(Token, Dispatch& dispatch, std::shared_ptr<WindowManager> manager,
                             AppSettings& settings, ServerLimits limits)
    : dispatch_(dispatch), manager_(std::move(manager)), settings_(settings), limits_(limits) {}

ControlServer::~ControlServer() {
  close();
}

bool ControlServer::listen(const std::string& path, std::string& error) {
  uid_ = ::geteuid();
  if (auto problem = prepareSocketDirectory(path, uid_)) {
    error = *problem;
    return false;
  }
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) {
    if (!S_ISSOCK(info.st_mode)) {
      error = path + " exists and is not a socket";
      return false;
    }
    if (someoneListens(path)) {
      error = "another copy of the program is listening at " + path;
      return false;
    }
    ::unlink(path.c_str());  // left by a copy that is gone
  }
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (listenFd_ < 0 || !setNonBlocking(listenFd_)) {
    error = std::string("cannot make a socket: ") + std::strerror(errno);
    close();
    return false;
  }
  sockaddr_un address = addressOf(path);
  // Nobody but the owner may connect, from the first instant.
  const mode_t old = ::umask(0177);
  const int bound = ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::umask(old);
  if (bound != 0 || ::chmod(path.c_str(), 0600) != 0 || ::listen(listenFd_, 16) != 0) {
    error = "cannot listen at " + path + ": " + std::strerror(errno);
    close();
    return false;
  }
  path_ = path;
  std::weak_ptr<ControlServer> weak = weak_from_this();
  listenWatch_ =
      dispatch_.watchDescriptor(dispatch_.main(), listenFd_, DescriptorEvent::readable, [weak] {
        if (auto self = weak.lock()) self->acceptClients();
      });
  managerChanges_ = manager_->changes.subscribe([weak](WindowManager::Change change) {
    if (auto self = weak.lock()) self->changed(change == WindowManager::Change::settled);
  });
  settingsChanges_ = settings_.subscribeSettled(dispatch_.main(), [weak] {
    if (auto self = weak.lock()) self->changed(false);
  });
  return true;
}

void ControlServer::close() {
  managerChanges_.reset();
  settingsChanges_.reset();
  if (listenWatch_) listenWatch_->cancel();
  listenWatch_.reset();
  while (!clients_.empty()) dropClient(clients_.begin()->first);
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    if (!path_.empty()) ::unlink(path_.c_str());
  }
}

size_t ControlServer::subscriberCount() const {
  size_t count = 0;
  for (const auto& [id, client] : clients_) count += client->subscribed;
  return count;
}

void ControlServer::refuse(int fd, const std::string& why) {
  ++refused_;
  const std::string line = encodeError(Json(), why);
  (void)sendSome(fd, line.data(), line.size());  // best effort: it is leaving
  ::close(fd);
}

void ControlServer::acceptClients() {
  while (listenFd_ >= 0) {
    const int fd = ::accept(listenFd_, nullptr, nullptr);
    if (fd < 0) return;  // EAGAIN: all taken; anything else: try at the next wake-up
    if (!setNonBlocking(fd)) {
      ::close(fd);
      continue;
    }
    noSigPipe(fd);
    if (limits_.socketBufferBytes > 0) {
      ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &limits_.socketBufferBytes,
                   sizeof limits_.socketBufferBytes);
    }
    if (!peerMayConnect(peerUserId(fd), uid_)) {
      refuse(fd, "refused: another user");
      continue;
    }
    if (clients_.size() >= limits_.maxClients) {
      refuse(fd, "refused: too many clients (" + std::to_string(limits_.maxClients) + ")");
      continue;
    }
    const uint64_t id = nextClient_++;
    auto client = std::make_unique<Client>(limits_.eventQueueBytes, limits_.hardQueueBytes);
    client->fd = fd;
    std::weak_ptr<ControlServer> weak = weak_from_this();
    client->readWatch =
        dispatch_.watchDescriptor(dispatch_.main(), fd, DescriptorEvent::readable, [weak, id] {
          if (auto self = weak.lock()) self->readClient(id);
        });
    clients_.emplace(id, std::move(client));
  }
}

void ControlServer::readClient(uint64_t id) {
  auto found = clients_.find(id);
  if (found == clients_.end()) return;
  Client& client = *found->second;
  char buffer[kReadChunk];
  size_t total = 0;
  bool ended = false;
  while (total < kReadPerTurn && !client.closing) {
    const ssize_t n = ::read(client.fd, buffer, sizeof buffer);
    if (n == 0) {
      ended = true;
      break;
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) ended = true;
      break;
    }
    total += static_cast<size_t>(n);
    const bool fits = client.in.append(std::string_view(buffer, static_cast<size_t>(n)));
    while (auto line = client.in.nextLine()) answer(id, client, *line);
    if (!fits || client.in.overflowed()) {
      // What follows an oversized line cannot be framed: answer and close.
      client.out.pushReply(encodeError(
          Json(), "request larger than " + std::to_string(kMaxRequestBytes) + " bytes"));
      client.closing = true;
    }
  }
  if (client.closing) {
    // Nothing more is read; the watch would only fire again.
    if (client.readWatch) client.readWatch->cancel();
    client.readWatch.reset();
  }
  if (ended) {
    dropClient(id);
    return;
  }
  flushClient(id);
}

void ControlServer::answer(uint64_t id, Client& client, const std::string& line) {
  if (client.closing || client.cutOff || line.find_first_not_of(" \t") == std::string::npos) {
    return;
  }
  const Decoded decoded = decodeRequest(line);
  if (const auto* failure = std::get_if<DecodeError>(&decoded)) {
    if (!client.out.pushReply(encodeError(failure->id, failure->message))) client.cutOff = true;
    return;
  }
  const Request& request = std::get<Request>(decoded);
  const Outcome outcome = carryOut(request, *manager_, settings_);
  std::string reply = outcome.error ? encodeError(request.id, *outcome.error)
                                    : encodeReply(request.id, outcome.body);
  if (!client.out.pushReply(std::move(reply))) {
    client.cutOff = true;
    return;
  }
  if (request.kind == RequestKind::subscribe && !outcome.error) {
    if (!observed_) observed_ = observe(*manager_, settings_);  // the first subscriber's baseline
    client.subscribed = true;
    client.events = {request.events.begin(), request.events.end()};
  }
  (void)id;
}

void ControlServer::flushClient(uint64_t id) {
  auto found = clients_.find(id);
  if (found == clients_.end()) return;
  Client& client = *found->second;
  const int fd = client.fd;
  const auto result =
      client.out.flush([fd](const char* data, size_t size) { return sendSome(fd, data, size); });
  if (result == Outbox::Flush::failed || (result == Outbox::Flush::done && client.closing)) {
    // Gone mid-write, or all said before closing: either way, no error.
    dropClient(id);
    return;
  }
  if (result == Outbox::Flush::pending) {
    // Replies it does not read piled up past the hard limit: it is cut off
    // rather than let the program's memory grow.
    if (client.cutOff || client.out.queuedBytes() > limits_.hardQueueBytes) {
      dropClient(id);
      return;
    }
    if (!client.writeWatch) {
      std::weak_ptr<ControlServer> weak = weak_from_this();
      client.writeWatch =
          dispatch_.watchDescriptor(dispatch_.main(), fd, DescriptorEvent::writable, [weak, id] {
            if (auto self = weak.lock()) self->flushClient(id);
          });
    }
  } else if (client.writeWatch) {
    client.writeWatch->cancel();
    client.writeWatch.reset();
  }
}

void ControlServer::dropClient(uint64_t id) {
  auto found = clients_.find(id);
  if (found == clients_.end()) return;
  Client& client = *found->second;
  if (client.readWatch) client.readWatch->cancel();
  if (client.writeWatch) client.writeWatch->cancel();
  dropped_ += client.out.droppedEvents();
  ::close(client.fd);
  clients_.erase(found);
}

void ControlServer::publishChanges() {
  changed(false);
}

void ControlServer::changed(bool settled) {
  settledSinceLook_ = settledSinceLook_ || settled;
  // Nobody listens: no look at all, so events cost nothing until someone
  // subscribes (the subscription takes a fresh baseline).
  if (lookScheduled_ || subscriberCount() == 0) {
    if (subscriberCount() == 0) observed_.reset();
    return;
  }
  lookScheduled_ = true;
  // One look for every change of this turn of the main queue.
  std::weak_ptr<ControlServer> weak = weak_from_this();
  dispatch_.main()->async([weak] {
    if (auto self = weak.lock()) self->sendEvents();
  });
}

void ControlServer::sendEvents() {
  lookScheduled_ = false;
  const bool atRest = settledSinceLook_;
  settledSinceLook_ = false;
  if (subscriberCount() == 0) {
    observed_.reset();
    return;
  }
  Observed now = observe(*manager_, settings_);
  if (!observed_) {
    observed_ = std::move(now);
    return;
  }
  // The scroll compared is the one of the last time the strips were at rest.
  if (!atRest) now.scroll = observed_->scroll;
  const std::vector<Event> events = changesBetween(*observed_, now, atRest);
  observed_ = std::move(now);
  if (events.empty()) return;
  std::vector<std::pair<std::string, std::string>> lines;
  lines.reserve(events.size());
  for (const Event& e : events) lines.emplace_back(e.name, encodeEvent(e.name, e.body));
  std::vector<uint64_t> ids;
  for (auto& [id, client] : clients_) {
    if (!client->subscribed || client->closing) continue;
    for (const auto& [name, line] : lines) {
      if (client->events.empty() || client->events.contains(name)) client->out.pushEvent(line);
    }
    ids.push_back(id);
  }
  for (uint64_t id : ids) flushClient(id);
}

}  // namespace vistarail::control
