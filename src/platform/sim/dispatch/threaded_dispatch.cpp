#include "platform/sim/dispatch/threaded_dispatch.h"

#include "platform/sim/dispatch/descriptor_poll.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <queue>
#include <thread>
#include <vector>

namespace vistarail::sim {

namespace {

using Clock = std::chrono::steady_clock;

// A FIFO of tasks with its own lock; the main queue and every worker use one.
class TaskFifo {
 public:
  // Notifies while holding the lock: the worker may run the task, drop the
  // last owner of this FIFO and destroy it as soon as the lock is free, so the
  // pushing thread must be done with the condition variable by then.
  // A stopped FIFO runs nothing more, so work submitted after the stop is
  // dropped at once (outside the lock) instead of holding what it owns.
  void push(Task task) {
    std::unique_lock lock(mutex_);
    if (stopped_) {
      lock.unlock();
      return;  // task is destroyed here
    }
    tasks_.push_back(std::move(task));
    cv_.notify_all();
  }
  // Waits until a task arrives, the deadline passes or the FIFO is stopped.
  std::optional<Task> pop(Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    cv_.wait_until(lock, deadline, [&] { return stopped_ || !tasks_.empty(); });
    return take();
  }
  // Waits until a task arrives or the FIFO is stopped: a worker waits for as
  // long as its queue lives, however long it sits idle.
  std::optional<Task> pop() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return stopped_ || !tasks_.empty(); });
    return take();
  }
  void stop() {
    std::deque<Task> dropped;  // destroyed outside the lock: tasks may own queues
    std::lock_guard lock(mutex_);
    stopped_ = true;
    dropped.swap(tasks_);
    cv_.notify_all();
  }

 private:
  // Lock held.
  std::optional<Task> take() {
    if (stopped_ || tasks_.empty()) return std::nullopt;
    Task t = std::move(tasks_.front());
    tasks_.pop_front();
    return t;
  }

  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<Task> tasks_;
  bool stopped_ = false;
};

class ThreadQueue;

struct Delayed {
  Clock::time_point when;
  uint64_t seq;
  std::weak_ptr<ThreadQueue> queue;
  Task task;
  std::shared_ptr<std::atomic<bool>> cancelled;
  bool operator>(const Delayed& o) const { return when != o.when ? when > o.when : seq > o.seq; }
};

}  // namespace

struct ThreadedDispatch::State {
  std::mutex timerMutex;
  std::condition_variable timerCv;
  std::priority_queue<Delayed, std::vector<Delayed>, std::greater<>> delayed;
  uint64_t nextSeq = 0;
  bool stopping = false;
  std::thread timerThread;
  std::shared_ptr<ThreadQueue> mainQueue;
  std::mutex queuesMutex;
  std::vector<std::weak_ptr<ThreadQueue>> queues;
  std::atomic<std::thread::id> mainThread;

  void addDelayed(const std::shared_ptr<ThreadQueue>& q, double delay, Task task,
                  std::shared_ptr<std::atomic<bool>> cancelled);
  void timerLoop();
};

namespace {

class ThreadQueue final : public Queue, public std::enable_shared_from_this<ThreadQueue> {
 public:
  ThreadQueue(std::weak_ptr<ThreadedDispatch::State> state, std::string label, bool worker)
      : state_(std::move(state)), label_(std::move(label)) {
    if (worker) {
      // The worker owns the FIFO too, so a queue whose last reference is
      // dropped by one of its own tasks can detach without the loop reading
      // freed memory.
      thread_ = std::thread([fifo = fifo_] {
        while (auto task = fifo->pop()) (*task)();
      });
    }
  }
  ~ThreadQueue() override { shutdown(); }

  const std::string& label() const override { return label_; }
  void async(Task task) override { fifo_->push(std::move(task)); }
  void asyncAfter(double delaySeconds, Task task) override {
    if (delaySeconds <= 0) return async(std::move(task));
    if (auto s = state_.lock())
      s->addDelayed(shared_from_this(), delaySeconds, std::move(task), {});
  }
  WorkItemRef asyncAfterCancellable(double delaySeconds, Task task) override;

  TaskFifo& fifo() { return *fifo_; }
  void shutdown() {
    fifo_->stop();
    if (thread_.joinable()) {
      if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();  // last reference dropped by its own task
      } else {
        thread_.join();
      }
    }
  }

 private:
  std::weak_ptr<ThreadedDispatch::State> state_;
  std::string label_;
  std::shared_ptr<TaskFifo> fifo_ = std::make_shared<TaskFifo>();
  std::thread thread_;
};

class ThreadWorkItem final : public WorkItem {
 public:
  explicit ThreadWorkItem(std::shared_ptr<std::atomic<bool>> flag) : flag_(std::move(flag)) {}
  void cancel() override { *flag_ = true; }
  bool isCancelled() const override { return *flag_; }

 private:
  std::shared_ptr<std::atomic<bool>> flag_;
};

WorkItemRef ThreadQueue::asyncAfterCancellable(double delaySeconds, Task task) {
  auto flag = std::make_shared<std::atomic<bool>>(false);
  auto s = state_.lock();
  if (s) {
    s->addDelayed(
        shared_from_this(), delaySeconds,
        [flag, task = std::move(task)] {
          if (!*flag) task();
        },
        flag);
  }
  return std::make_shared<ThreadWorkItem>(flag);
}

class ThreadTimer final : public RepeatingTimer {
 public:
  void invalidate() override { valid_ = false; }
  bool isValid() const override { return valid_; }

 private:
  std::atomic<bool> valid_{true};
};

}  // namespace

void ThreadedDispatch::State::addDelayed(const std::shared_ptr<ThreadQueue>& q, double delay,
                                         Task task, std::shared_ptr<std::atomic<bool>> cancelled) {
  const auto when = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(std::max(0.0, delay)));
  {
    std::lock_guard lock(timerMutex);
    if (stopping) return;
    delayed.push(Delayed{when, nextSeq++, q, std::move(task), std::move(cancelled)});
  }
  timerCv.notify_all();
}

void ThreadedDispatch::State::timerLoop() {
  std::unique_lock lock(timerMutex);
  while (!stopping) {
    if (delayed.empty()) {
      timerCv.wait(lock);
      continue;
    }
    const auto when = delayed.top().when;
    if (Clock::now() < when) {
      timerCv.wait_until(lock, when);
      continue;
    }
    Delayed d = delayed.top();
    delayed.pop();
    lock.unlock();
    if (!(d.cancelled && *d.cancelled)) {
      if (auto q = d.queue.lock()) q->async(std::move(d.task));
    }
    lock.lock();
  }
}

ThreadedDispatch::ThreadedDispatch() : state_(std::make_shared<State>()) {
  state_->mainThread = std::this_thread::get_id();
  state_->mainQueue = std::make_shared<ThreadQueue>(state_, "main", /*worker=*/false);
  state_->timerThread = std::thread([s = state_.get()] { s->timerLoop(); });
}

ThreadedDispatch::~ThreadedDispatch() {
  {
    std::lock_guard lock(state_->timerMutex);
    state_->stopping = true;
    while (!state_->delayed.empty()) state_->delayed.pop();
  }
  state_->timerCv.notify_all();
  state_->timerThread.join();
  std::vector<std::shared_ptr<ThreadQueue>> alive;
  {
    std::lock_guard lock(state_->queuesMutex);
    for (auto& w : state_->queues)
      if (auto q = w.lock()) alive.push_back(q);
  }
  for (auto& q : alive) q->shutdown();
  state_->mainQueue->fifo().stop();
}

QueueRef ThreadedDispatch::main() {
  return state_->mainQueue;
}

QueueRef ThreadedDispatch::makeSerialQueue(const std::string& label) {
  auto q = std::make_shared<ThreadQueue>(state_, label, /*worker=*/true);
  std::lock_guard lock(state_->queuesMutex);
  state_->queues.push_back(q);
  return q;
}

RepeatingTimerRef ThreadedDispatch::scheduleRepeating(const QueueRef& queue, double intervalSeconds,
                                                      Task task) {
  auto timer = std::make_shared<ThreadTimer>();
  auto q = std::dynamic_pointer_cast<ThreadQueue>(queue);
  if (!q || !(intervalSeconds > 0)) {
    timer->invalidate();
    return timer;
  }
  std::weak_ptr<ThreadTimer> weakTimer = timer;
  std::weak_ptr<State> weakState = state_;
  auto shared = std::make_shared<Task>(std::move(task));
  auto fire = std::make_shared<Task>();
  *fire = [weakTimer, weakState, q, shared, intervalSeconds, weakFire = std::weak_ptr<Task>(fire)] {
    auto t = weakTimer.lock();
    if (!t || !t->isValid()) return;
    (*shared)();
    auto s = weakState.lock();
    auto self = weakFire.lock();
    if (s && self && t->isValid()) s->addDelayed(q, intervalSeconds, [self] { (*self)(); }, {});
  };
  state_->addDelayed(q, intervalSeconds, [fire] { (*fire)(); }, {});
  return timer;
}

namespace {

// A watch on a thread of its own, which polls the descriptor and hands its
// readiness to the queue; it never runs the handler itself. The thread wakes
// every 20 ms to see whether the watch was cancelled.
class ThreadWatch final : public DescriptorWatch {
 public:
  ThreadWatch(QueueRef queue, int fd, DescriptorEvent event, Task handler)
      : shared_(std::make_shared<Shared>()) {
    shared_->handler = std::move(handler);
    thread_ = std::thread([shared = shared_, queue = std::move(queue), fd, event] {
      std::vector<PolledDescriptor> polled{{fd, event, false}};
      while (!shared->cancelled) {
        if (shared->pending || pollDescriptors(polled, 20) == 0) {
          if (shared->pending) std::this_thread::sleep_for(std::chrono::milliseconds(1));
          continue;
        }
        shared->pending = true;
        queue->async([shared] {
          shared->pending = false;
          if (!shared->cancelled) shared->handler();
        });
      }
    });
  }
  ~ThreadWatch() override {
    cancel();
    if (thread_.joinable()) thread_.join();
  }
  void cancel() override { shared_->cancelled = true; }

 private:
  struct Shared {
    Task handler;  // only ever run on the queue
    std::atomic<bool> cancelled{false};
    std::atomic<bool> pending{false};
  };
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace

DescriptorWatchRef ThreadedDispatch::watchDescriptor(const QueueRef& queue, int fd,
                                                     DescriptorEvent event, Task handler) {
  return std::make_shared<ThreadWatch>(queue, fd, event, std::move(handler));
}

double ThreadedDispatch::mediaTime() const {
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

double ThreadedDispatch::wallTime() const {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void ThreadedDispatch::sleep(double seconds) {
  if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

bool ThreadedDispatch::onMainQueue() const {
  return std::this_thread::get_id() == state_->mainThread.load();
}

void ThreadedDispatch::runMainFor(double seconds) {
  runMainUntil([] { return false; }, seconds);
}

bool ThreadedDispatch::runMainUntil(const std::function<bool()>& predicate, double timeoutSeconds) {
  state_->mainThread = std::this_thread::get_id();
  const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::duration<double>(timeoutSeconds));
  while (true) {
    if (predicate()) return true;
    const auto now = Clock::now();
    if (now >= deadline) return false;
    // Wake at least every 10 ms so predicates over other threads' state are seen.
    auto task =
        state_->mainQueue->fifo().pop(std::min(deadline, now + std::chrono::milliseconds(10)));
    if (task) (*task)();
  }
}

}  // namespace vistarail::sim
