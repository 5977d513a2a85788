#pragma once
// Dispatch on real threads: every serial queue is a worker thread, delayed work
// and timers are released by one timer thread, and the main queue runs on the
// thread that pumps it (runMainFor / runMainUntil). Used to run the same code
// as the virtual scheduler under ThreadSanitizer. Times are real seconds.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/dispatch.h"

namespace vistarail::sim {

class ThreadedDispatch final : public Dispatch {
 public:
  ThreadedDispatch();
  // Stops every worker; work not yet started is dropped.
  ~ThreadedDispatch() override;
  ThreadedDispatch(const ThreadedDispatch&) = delete;
  ThreadedDispatch& operator=(const ThreadedDispatch&) = delete;

  QueueRef main() override;
  QueueRef makeSerialQueue(const std::string& label) override;
  RepeatingTimerRef scheduleRepeating(const QueueRef& queue, double intervalSeconds,
                                      Task task) override;
  DescriptorWatchRef watchDescriptor(const QueueRef& queue, int fd, DescriptorEvent event,
                                     Task handler) override;
  double mediaTime() const override;
  double wallTime() const override;
  void sleep(double seconds) override;
  bool onMainQueue() const override;

  // Runs main-queue work on the calling thread (which becomes the main thread)
  // for the given real time.
  void runMainFor(double seconds);
  // Runs main-queue work until the predicate holds (checked after each task and
  // on every wake-up) or the time-out passes; returns whether it held.
  bool runMainUntil(const std::function<bool()>& predicate, double timeoutSeconds);

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace vistarail::sim
