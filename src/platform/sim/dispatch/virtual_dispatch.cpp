#include "platform/sim/dispatch/virtual_dispatch.h"

#include "platform/sim/dispatch/descriptor_poll.h"

#include <algorithm>
#include <limits>
#include <queue>
#include <vector>

namespace vistarail::sim {

namespace {

class SimQueue;

struct Event {
  double time;  // earliest start
  double due;   // when it was due, for FIFO order among deferred tasks
  uint64_t seq;
  std::shared_ptr<SimQueue> queue;
  Task task;
  std::shared_ptr<bool> cancelled;  // null when not cancellable

  bool operator>(const Event& o) const {
    if (time != o.time) return time > o.time;
    if (due != o.due) return due > o.due;
    return seq > o.seq;
  }
};

}  // namespace

struct VirtualDispatch::State : std::enable_shared_from_this<VirtualDispatch::State> {
  using Heap = std::priority_queue<Event, std::vector<Event>, std::greater<>>;

  double now = 0;
  double wallEpoch = 0;
  uint64_t nextSeq = 0;
  Heap events;       // tasks of the program's queues
  Heap worldEvents;  // tasks of world queues
  std::shared_ptr<SimQueue> mainQueue;
  // The task running now, if any, and its queue's local clock.
  SimQueue* running = nullptr;
  double localTime = 0;
  TaskObserver observer;
  // Descriptors watched for the program's queues, polled without waiting
  // before each task, so a request written between two steps is served at
  // the virtual instant the next step starts.
  struct Watch {
    int fd = -1;
    DescriptorEvent event = DescriptorEvent::readable;
    std::shared_ptr<SimQueue> queue;
    Task handler;
    bool cancelled = false;
    bool pending = false;  // its handler is scheduled and has not run yet
  };
  std::vector<std::shared_ptr<Watch>> watches;
  // Schedules the handler of every ready watch; true when one was ready.
  bool pollWatches(int timeoutMilliseconds);

  double clock() const { return running ? localTime : now; }
  void push(Event e);
  void schedule(const std::shared_ptr<SimQueue>& q, double delay, Task task,
                std::shared_ptr<bool> cancelled) {
    const double t = clock() + std::max(0.0, delay);
    push(Event{t, t, nextSeq++, q, std::move(task), std::move(cancelled)});
  }
  bool empty() const { return events.empty() && worldEvents.empty(); }
  // The heap holding the earliest task, null when both are empty.
  Heap* earliest();
  bool step(double limit);
  // Runs the world tasks due at or before `until`, each at its own time,
  // inside the running task.
  void runWorldEventsUntil(double until);
  void run(Event& e);
};

namespace {

class SimQueue final : public Queue, public std::enable_shared_from_this<SimQueue> {
 public:
  SimQueue(std::weak_ptr<VirtualDispatch::State> state, std::string label)
      : state_(std::move(state)), label_(std::move(label)) {}

  const std::string& label() const override { return label_; }
  void async(Task task) override { asyncAfter(0, std::move(task)); }
  void asyncAfter(double delaySeconds, Task task) override {
    if (auto s = state_.lock()) s->schedule(shared_from_this(), delaySeconds, std::move(task), {});
  }
  WorkItemRef asyncAfterCancellable(double delaySeconds, Task task) override;

  double busyUntil = 0;
  bool world = false;

 private:
  std::weak_ptr<VirtualDispatch::State> state_;
  std::string label_;
};

class SimWorkItem final : public WorkItem {
 public:
  explicit SimWorkItem(std::shared_ptr<bool> flag) : flag_(std::move(flag)) {}
  void cancel() override { *flag_ = true; }
  bool isCancelled() const override { return *flag_; }

 private:
  std::shared_ptr<bool> flag_;
};

WorkItemRef SimQueue::asyncAfterCancellable(double delaySeconds, Task task) {
  auto flag = std::make_shared<bool>(false);
  if (auto s = state_.lock()) s->schedule(shared_from_this(), delaySeconds, std::move(task), flag);
  return std::make_shared<SimWorkItem>(flag);
}

class SimWatch final : public DescriptorWatch {
 public:
  explicit SimWatch(std::weak_ptr<VirtualDispatch::State::Watch> watch)
      : watch_(std::move(watch)) {}
  ~SimWatch() override { cancel(); }
  void cancel() override {
    if (auto w = watch_.lock()) w->cancelled = true;
  }

 private:
  std::weak_ptr<VirtualDispatch::State::Watch> watch_;
};

class SimTimer final : public RepeatingTimer {
 public:
  void invalidate() override { valid_ = false; }
  bool isValid() const override { return valid_; }

 private:
  bool valid_ = true;
};

}  // namespace

void VirtualDispatch::State::push(Event e) {
  (e.queue->world ? worldEvents : events).push(std::move(e));
}

VirtualDispatch::State::Heap* VirtualDispatch::State::earliest() {
  if (events.empty()) return worldEvents.empty() ? nullptr : &worldEvents;
  if (worldEvents.empty()) return &events;
  return worldEvents.top() > events.top() ? &events : &worldEvents;
}

void VirtualDispatch::State::run(Event& e) {
  running = e.queue.get();
  localTime = e.time;
  if (observer) observer(e.queue->label(), e.time);
  e.task();
  e.queue->busyUntil = localTime;
}

bool VirtualDispatch::State::pollWatches(int timeoutMilliseconds) {
  std::erase_if(watches, [](const auto& w) { return w->cancelled; });
  std::vector<PolledDescriptor> polled;
  std::vector<std::shared_ptr<Watch>> asked;
  for (const auto& w : watches) {
    if (w->pending) continue;
    polled.push_back({w->fd, w->event, false});
    asked.push_back(w);
  }
  if (polled.empty() || pollDescriptors(polled, timeoutMilliseconds) == 0) return false;
  for (size_t i = 0; i < polled.size(); ++i) {
    if (!polled[i].ready) continue;
    std::shared_ptr<Watch> watch = asked[i];
    watch->pending = true;
    schedule(watch->queue, 0,
             [weak = std::weak_ptr<Watch>(watch)] {
               auto w = weak.lock();
               if (!w) return;
               w->pending = false;
               if (!w->cancelled) w->handler();
             },
             {});
  }
  return true;
}

bool VirtualDispatch::State::step(double limit) {
  if (!watches.empty()) pollWatches(0);
  while (Heap* heap = earliest()) {
    if (heap->top().time > limit) return false;
    Event e = heap->top();
    heap->pop();
    if (e.cancelled && *e.cancelled) continue;
    // World events take no time of their own, so the world's queue is never
    // busy; it only looks so when a sleeping queue ran its events ahead, and
    // an event due earlier (a write landing at the end of its call) must not
    // be held back behind those.
    if (!e.queue->world && e.queue->busyUntil > e.time) {
      // The queue is still busy with earlier work that spent virtual time.
      e.time = e.queue->busyUntil;
      push(std::move(e));
      continue;
    }
    now = std::max(now, e.time);
    run(e);
    running = nullptr;
    return true;
  }
  return false;
}

void VirtualDispatch::State::runWorldEventsUntil(double until) {
  SimQueue* const outer = running;
  const double outerTime = localTime;
  while (!worldEvents.empty() && worldEvents.top().time <= until) {
    Event e = worldEvents.top();
    worldEvents.pop();
    if (e.cancelled && *e.cancelled) continue;
    run(e);
  }
  running = outer;
  localTime = outerTime;
}

VirtualDispatch::VirtualDispatch(double wallEpochSeconds) : state_(std::make_shared<State>()) {
  state_->wallEpoch = wallEpochSeconds;
  state_->mainQueue = std::make_shared<SimQueue>(state_, "main");
}

VirtualDispatch::~VirtualDispatch() {
  // Tasks may own objects whose destructors submit work; clear them while the
  // state is still alive so those submissions land somewhere harmless.
  auto events = std::move(state_->events);
  while (!events.empty()) events.pop();
  auto worldEvents = std::move(state_->worldEvents);
  while (!worldEvents.empty()) worldEvents.pop();
}

QueueRef VirtualDispatch::main() {
  return state_->mainQueue;
}

QueueRef VirtualDispatch::makeSerialQueue(const std::string& label) {
  return std::make_shared<SimQueue>(state_, label);
}

QueueRef VirtualDispatch::makeWorldQueue(const std::string& label) {
  auto queue = std::make_shared<SimQueue>(state_, label);
  queue->world = true;
  return queue;
}

RepeatingTimerRef VirtualDispatch::scheduleRepeating(const QueueRef& queue, double intervalSeconds,
                                                     Task task) {
  auto timer = std::make_shared<SimTimer>();
  auto simQueue = std::dynamic_pointer_cast<SimQueue>(queue);
  if (!simQueue || !(intervalSeconds > 0)) {
    timer->invalidate();
    return timer;
  }
  std::weak_ptr<SimTimer> weakTimer = timer;
  std::weak_ptr<State> weakState = state_;
  auto shared = std::make_shared<Task>(std::move(task));
  // Each firing schedules the next one interval after its own due time, so a
  // busy queue delays a firing without shifting the timer's phase.
  auto fire = std::make_shared<std::function<void(double)>>();
  *fire = [weakTimer, weakState, simQueue, shared, intervalSeconds,
           weakFire = std::weak_ptr<std::function<void(double)>>(fire)](double dueTime) {
    auto t = weakTimer.lock();
    auto s = weakState.lock();
    auto self = weakFire.lock();
    if (!t || !t->isValid() || !s || !self) return;
    (*shared)();
    if (!t->isValid()) return;
    const double next = dueTime + intervalSeconds;
    s->push(Event{next, next, s->nextSeq++, simQueue, [self, next] { (*self)(next); }, {}});
  };
  const double first = state_->clock() + intervalSeconds;
  // The chain keeps `fire` alive; it ends when the timer is gone.
  state_->push(
      Event{first, first, state_->nextSeq++, simQueue, [fire, first] { (*fire)(first); }, {}});
  return timer;
}

DescriptorWatchRef VirtualDispatch::watchDescriptor(const QueueRef& queue, int fd,
                                                    DescriptorEvent event, Task handler) {
  auto watch = std::make_shared<State::Watch>();
  watch->fd = fd;
  watch->event = event;
  watch->queue = std::dynamic_pointer_cast<SimQueue>(queue);
  watch->handler = std::move(handler);
  if (!watch->queue || fd < 0) watch->cancelled = true;
  state_->watches.push_back(watch);
  return std::make_shared<SimWatch>(watch);
}

bool VirtualDispatch::waitForDescriptors(double realSeconds) {
  return state_->pollWatches(static_cast<int>(std::max(0.0, realSeconds) * 1000));
}

double VirtualDispatch::mediaTime() const {
  return state_->clock();
}
double VirtualDispatch::wallTime() const {
  return state_->wallEpoch + state_->clock();
}

void VirtualDispatch::sleep(double seconds) {
  if (!state_->running || !(seconds > 0)) return;
  const double until = state_->localTime + seconds;
  if (!state_->running->world) state_->runWorldEventsUntil(until);
  state_->localTime = until;
}

bool VirtualDispatch::onMainQueue() const {
  return state_->running == state_->mainQueue.get();
}

double VirtualDispatch::now() const {
  return state_->now;
}

bool VirtualDispatch::runFor(double seconds) {
  return runUntil(state_->now + seconds);
}

bool VirtualDispatch::runUntil(double time) {
  uint64_t steps = 0;
  while (state_->step(time)) {
    if (++steps >= kStepLimit) return false;
  }
  state_->now = std::max(state_->now, time);
  return true;
}

bool VirtualDispatch::runUntilIdle(uint64_t maxSteps) {
  uint64_t steps = 0;
  while (!state_->empty() || (!state_->watches.empty() && state_->pollWatches(0))) {
    if (steps++ >= maxSteps) return false;
    state_->step(std::numeric_limits<double>::infinity());
  }
  return true;
}

size_t VirtualDispatch::pendingCount() const {
  return state_->events.size() + state_->worldEvents.size();
}

std::string VirtualDispatch::currentQueueLabel() const {
  return state_->running ? state_->running->label() : std::string();
}

void VirtualDispatch::setTaskObserver(TaskObserver observer) {
  state_->observer = std::move(observer);
}

}  // namespace vistarail::sim
