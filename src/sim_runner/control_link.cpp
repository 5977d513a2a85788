#include "sim_runner/control_link.h"

namespace vistarail::simrun {

namespace {
// Virtual time between looks for a reply: the server answers at the instant
// a request arrives, so the first look finds it.
constexpr double kReplyStepSeconds = 0.001;
}  // namespace

struct ControlLink::Subscriber {
  control::ClientConnection connection;
  DescriptorWatchRef watch;
  bool closed = false;
};

ControlLink::ControlLink(sim::VirtualDispatch& dispatch, std::string socketPath, EventSink sink)
    : dispatch_(dispatch),
      path_(std::move(socketPath)),
      sink_(std::move(sink)),
      // Events are read outside the program, like the world's own doings.
      queue_(dispatch.makeWorldQueue("control-client")) {}

ControlLink::~ControlLink() {
  for (auto& s : subscribers_) {
    if (s->watch) s->watch->cancel();
  }
}

std::optional<std::string> ControlLink::awaitLine(control::ClientConnection& connection,
                                                  double timeoutSeconds) {
  for (double waited = 0; waited <= timeoutSeconds; waited += kReplyStepSeconds) {
    if (auto line = connection.bufferedLine()) return line;
    dispatch_.runFor(kReplyStepSeconds);
    if (!connection.pump()) return connection.bufferedLine();
  }
  return std::nullopt;
}

std::optional<std::string> ControlLink::request(const std::string& line, double timeoutSeconds,
                                                std::string& error) {
  if (!requests_.connected() || !requests_.send(line)) {
    if (!requests_.connect(path_, error) || !requests_.send(line)) {
      if (error.empty()) error = "the connection closed";
      requests_.close();
      return std::nullopt;
    }
  }
  auto reply = awaitLine(requests_, timeoutSeconds);
  if (!reply) error = "no reply";
  return reply;
}

std::optional<std::string> ControlLink::subscribe(const std::string& line, double timeoutSeconds,
                                                  std::string& error) {
  auto s = std::make_shared<Subscriber>();
  if (!s->connection.connect(path_, error) || !s->connection.send(line)) return std::nullopt;
  auto reply = awaitLine(s->connection, timeoutSeconds);
  if (!reply) {
    error = "no reply";
    return std::nullopt;
  }
  std::weak_ptr<Subscriber> weak = s;
  s->watch = dispatch_.watchDescriptor(queue_, s->connection.fd(), DescriptorEvent::readable,
                                       [this, weak] {
                                         auto sub = weak.lock();
                                         if (!sub || sub->closed) return;
                                         const bool open = sub->connection.pump();
                                         while (auto event = sub->connection.bufferedLine())
                                           sink_(*event);
                                         if (!open) {
                                           sub->closed = true;
                                           sub->watch->cancel();
                                         }
                                       });
  // Events that came with the reply.
  while (auto event = s->connection.bufferedLine()) sink_(*event);
  subscribers_.push_back(std::move(s));
  return reply;
}

void ControlLink::dropClosed() {
  std::erase_if(subscribers_, [](const auto& s) { return s->closed; });
}

}  // namespace vistarail::simrun
