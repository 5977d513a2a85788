#pragma once
// Queues, delayed work, timers and clocks, shaped after the platform's dispatch
// library. Every queue here is serial: work submitted to one queue runs one item
// at a time in submission order. The main queue runs all controller state; each
// application process gets a serial queue of its own for its accessibility
// traffic.
//
// Two adapters exist: a deterministic virtual-time scheduler (tests and the
// simulator program) and one that runs queues on real threads (data-race tests).

#include <functional>
#include <memory>
#include <string>

namespace vistarail {

using Task = std::function<void()>;

// A delayed piece of work that can be cancelled before it starts.
class WorkItem {
 public:
  virtual ~WorkItem() = default;
  virtual void cancel() = 0;
  virtual bool isCancelled() const = 0;
};
using WorkItemRef = std::shared_ptr<WorkItem>;

// A repeating timer; it stops firing once invalidated or once its handle and
// every copy of it are dropped.
class RepeatingTimer {
 public:
  virtual ~RepeatingTimer() = default;
  virtual void invalidate() = 0;
  virtual bool isValid() const = 0;
};
using RepeatingTimerRef = std::shared_ptr<RepeatingTimer>;

// What a descriptor watch waits for. A hang-up or an error counts as both, so
// the handler gets to read the end of the stream or the failed write.
enum class DescriptorEvent { readable, writable };

// A file descriptor watched for a queue; its handler stops running once the
// watch is cancelled or its handle and every copy of it are dropped. The
// descriptor stays the caller's to close (after cancelling the watch).
class DescriptorWatch {
 public:
  virtual ~DescriptorWatch() = default;
  virtual void cancel() = 0;
};
using DescriptorWatchRef = std::shared_ptr<DescriptorWatch>;

class Queue {
 public:
  virtual ~Queue() = default;
  virtual const std::string& label() const = 0;
  // Runs the task after everything submitted before it.
  virtual void async(Task task) = 0;
  // Runs the task once the delay has passed (and the queue is free).
  virtual void asyncAfter(double delaySeconds, Task task) = 0;
  // As asyncAfter, with a handle that can cancel the task before it starts.
  virtual WorkItemRef asyncAfterCancellable(double delaySeconds, Task task) = 0;
};
using QueueRef = std::shared_ptr<Queue>;

class Dispatch {
 public:
  virtual ~Dispatch() = default;

  virtual QueueRef main() = 0;
  // A new serial queue. Labels need not be unique.
  virtual QueueRef makeSerialQueue(const std::string& label) = 0;
  // Fires on the queue every intervalSeconds, the first time one interval from now.
  virtual RepeatingTimerRef scheduleRepeating(const QueueRef& queue, double intervalSeconds,
                                              Task task) = 0;

  // Runs the handler on the queue whenever the descriptor is ready for the
  // event. Readiness is level-triggered: a handler that leaves data unread
  // (or, for writable, keeps the watch while nothing is pending) is called
  // again, so it reads or writes what it can without blocking each time.
  virtual DescriptorWatchRef watchDescriptor(const QueueRef& queue, int fd, DescriptorEvent event,
                                             Task handler) = 0;

  // Monotonic seconds (the media clock input timing uses).
  virtual double mediaTime() const = 0;
  // Seconds since 1970-01-01 UTC (the clock "now + 2 seconds" records use).
  virtual double wallTime() const = 0;
  // Blocks the calling queue for the given time; only ever call it from a
  // serial application queue, never from the main queue.
  virtual void sleep(double seconds) = 0;
  // True while running on the main queue.
  virtual bool onMainQueue() const = 0;
};

// Counts pieces of outstanding work; when the count drops back to zero the
// notification runs on its queue. Thread-safe. A group whose work is all done
// before notify() is called notifies at once (asynchronously).
class DispatchGroup {
 public:
  static std::shared_ptr<DispatchGroup> make();
  void enter();
  void leave();
  void notify(const QueueRef& queue, Task task);

 private:
  DispatchGroup() = default;
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace vistarail
