#include "platform/macos/adapters/mac_dispatch.h"

#include <dispatch/dispatch.h>
#include <mach/mach_time.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <utility>

#include "platform/macos/time_conversion.h"

namespace vistarail::macos {

namespace {

// Marks the main queue so that onMainQueue asks the queue, not the thread.
char mainQueueKey;

void runTask(void* context) {
  std::unique_ptr<Task> task(static_cast<Task*>(context));
  (*task)();
}

dispatch_time_t after(double seconds) {
  return dispatch_time(DISPATCH_TIME_NOW, delayNanoseconds(seconds));
}

class Cancellable final : public WorkItem {
 public:
  void cancel() override { cancelled_ = true; }
  bool isCancelled() const override { return cancelled_; }

 private:
  std::atomic<bool> cancelled_{false};
};

class MacQueue final : public Queue {
 public:
  // Takes over the queue reference (from dispatch_queue_create) unless
  // owned is false (the main queue is never released).
  MacQueue(dispatch_queue_t queue, std::string label, bool owned)
      : queue_(queue), label_(std::move(label)), owned_(owned) {}
  ~MacQueue() override {
    // Work already submitted keeps the queue alive inside libdispatch.
    if (owned_) dispatch_release(queue_);
  }
  const std::string& label() const override { return label_; }
  void async(Task task) override { dispatch_async_f(queue_, new Task(std::move(task)), runTask); }
  void asyncAfter(double delaySeconds, Task task) override {
    dispatch_after_f(after(delaySeconds), queue_, new Task(std::move(task)), runTask);
  }
  WorkItemRef asyncAfterCancellable(double delaySeconds, Task task) override {
    auto item = std::make_shared<Cancellable>();
    asyncAfter(delaySeconds, [item, task = std::move(task)] {
      if (!item->isCancelled()) task();
    });
    return item;
  }
  dispatch_queue_t get() const { return queue_; }

 private:
  dispatch_queue_t queue_;
  std::string label_;
  bool owned_;
};

// A timer source. The task lives in the source's context and is deleted by
// the cancel handler, which libdispatch runs after the last event handler has
// returned, so a firing in progress never sees it freed.
class MacTimer final : public RepeatingTimer {
 public:
  MacTimer(dispatch_queue_t queue, double interval, Task task) {
    source_ = dispatch_source_create(DISPATCH_SOURCE_TYPE_TIMER, 0, 0, queue);
    if (!source_) return;
    const int64_t step = delayNanoseconds(interval);
    dispatch_set_context(source_, new Task(std::move(task)));
    dispatch_source_set_event_handler_f(source_,
                                        [](void* context) { (*static_cast<Task*>(context))(); });
    dispatch_source_set_cancel_handler_f(source_,
                                         [](void* context) { delete static_cast<Task*>(context); });
    // A tenth of the interval of leeway lets the system batch wake-ups.
    dispatch_source_set_timer(source_, dispatch_time(DISPATCH_TIME_NOW, step),
                              static_cast<uint64_t>(step), static_cast<uint64_t>(step / 10));
    dispatch_resume(source_);
    valid_ = true;
  }
  ~MacTimer() override {
    invalidate();
    if (source_) dispatch_release(source_);
  }
  void invalidate() override {
    if (valid_.exchange(false)) dispatch_source_cancel(source_);
  }
  bool isValid() const override { return valid_; }

 private:
  dispatch_source_t source_ = nullptr;
  std::atomic<bool> valid_{false};
};

// A read or write source on the descriptor, with the handler in its context
// like the timer's, so the cancel handler frees it after the last firing.
// libdispatch's sources are level-triggered like the port promises.
class MacWatch final : public DescriptorWatch {
 public:
  MacWatch(dispatch_queue_t queue, int fd, DescriptorEvent event, Task handler) {
    dispatch_source_type_t type =
        event == DescriptorEvent::readable ? DISPATCH_SOURCE_TYPE_READ : DISPATCH_SOURCE_TYPE_WRITE;
    source_ = dispatch_source_create(type, static_cast<uintptr_t>(fd), 0, queue);
    if (!source_) return;
    dispatch_set_context(source_, new Task(std::move(handler)));
    dispatch_source_set_event_handler_f(source_,
                                        [](void* context) { (*static_cast<Task*>(context))(); });
    dispatch_source_set_cancel_handler_f(source_,
                                         [](void* context) { delete static_cast<Task*>(context); });
    dispatch_resume(source_);
    valid_ = true;
  }
  ~MacWatch() override {
    cancel();
    if (source_) dispatch_release(source_);
  }
  void cancel() override {
    if (valid_.exchange(false)) dispatch_source_cancel(source_);
  }

 private:
  dispatch_source_t source_ = nullptr;
  std::atomic<bool> valid_{false};
};

}  // namespace

MacDispatch::MacDispatch() {
  dispatch_queue_t mainQueue = dispatch_get_main_queue();
  dispatch_queue_set_specific(mainQueue, &mainQueueKey, &mainQueueKey, nullptr);
  main_ = std::make_shared<MacQueue>(mainQueue, "com.apple.main-thread", false);
}

QueueRef MacDispatch::makeSerialQueue(const std::string& label) {
  // The program's own queues carry the accessibility traffic an animation or
  // a key press waits for: user-interactive, like the main thread.
  dispatch_queue_attr_t attributes =
      dispatch_queue_attr_make_with_qos_class(DISPATCH_QUEUE_SERIAL, QOS_CLASS_USER_INTERACTIVE, 0);
  return std::make_shared<MacQueue>(dispatch_queue_create(label.c_str(), attributes), label, true);
}

RepeatingTimerRef MacDispatch::scheduleRepeating(const QueueRef& queue, double intervalSeconds,
                                                 Task task) {
  const auto* macQueue = dynamic_cast<const MacQueue*>(queue.get());
  if (!macQueue) return nullptr;
  return std::make_shared<MacTimer>(macQueue->get(), intervalSeconds, std::move(task));
}

DescriptorWatchRef MacDispatch::watchDescriptor(const QueueRef& queue, int fd,
                                                DescriptorEvent event, Task handler) {
  const auto* macQueue = dynamic_cast<const MacQueue*>(queue.get());
  if (!macQueue) return nullptr;
  return std::make_shared<MacWatch>(macQueue->get(), fd, event, std::move(handler));
}

double MacDispatch::mediaTime() const {
  static const mach_timebase_info_data_t timebase = [] {
    mach_timebase_info_data_t info{0, 0};
    mach_timebase_info(&info);
    return info;
  }();
  return hostTicksToSeconds(mach_absolute_time(), timebase.numer, timebase.denom);
}

double MacDispatch::wallTime() const {
  using namespace std::chrono;
  return duration<double>(system_clock::now().time_since_epoch()).count();
}

void MacDispatch::sleep(double seconds) {
  std::this_thread::sleep_for(std::chrono::nanoseconds(delayNanoseconds(seconds)));
}

bool MacDispatch::onMainQueue() const {
  return dispatch_get_specific(&mainQueueKey) != nullptr;
}

}  // namespace vistarail::macos
