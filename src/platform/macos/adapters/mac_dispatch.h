#pragma once
// The dispatch port over libdispatch: the main queue, serial queues, delayed
// and cancellable work, repeating timers on a queue, descriptor watches
// (read and write sources), and the host clock.

#include "platform/dispatch.h"

namespace vistarail::macos {

class MacDispatch final : public Dispatch {
 public:
  MacDispatch();
  QueueRef main() override { return main_; }
  QueueRef makeSerialQueue(const std::string& label) override;
  RepeatingTimerRef scheduleRepeating(const QueueRef& queue, double intervalSeconds,
                                      Task task) override;
  DescriptorWatchRef watchDescriptor(const QueueRef& queue, int fd, DescriptorEvent event,
                                     Task handler) override;
  double mediaTime() const override;
  double wallTime() const override;
  void sleep(double seconds) override;
  bool onMainQueue() const override;

 private:
  QueueRef main_;
};

}  // namespace vistarail::macos
