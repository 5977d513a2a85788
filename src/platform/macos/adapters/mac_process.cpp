#include "platform/macos/adapters/mac_process.h"

#include <dispatch/dispatch.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace vistarail::macos {

std::optional<std::string> MacProcess::environmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

Pid MacProcess::processIdentifier() {
  return static_cast<Pid>(getpid());
}

Subscription MacProcess::observeSignal(int signalNumber, std::function<void()> handler) {
  // The source only sees the signal once the default action no longer ends
  // the process; the disposition stays ignored after the source is gone, as
  // the program has taken the signal over for its life.
  signal(signalNumber, SIG_IGN);
  dispatch_source_t source =
      dispatch_source_create(DISPATCH_SOURCE_TYPE_SIGNAL, static_cast<uintptr_t>(signalNumber), 0,
                             dispatch_get_main_queue());
  if (!source) return Subscription();
  // The handler lives in the source's context; the cancel handler, which
  // runs after the last event handler, deletes it.
  using Handler = std::function<void()>;
  dispatch_set_context(source, new Handler(std::move(handler)));
  dispatch_source_set_event_handler_f(source,
                                      [](void* context) { (*static_cast<Handler*>(context))(); });
  dispatch_source_set_cancel_handler_f(
      source, [](void* context) { delete static_cast<Handler*>(context); });
  dispatch_resume(source);
  return Subscription([source] {
    dispatch_source_cancel(source);
    dispatch_release(source);
  });
}

}  // namespace vistarail::macos
