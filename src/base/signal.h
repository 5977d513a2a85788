#pragma once
// A minimal publish/subscribe mechanism. A Signal delivers each emitted value to
// its subscribers in subscription order; a subscription ends when its
// Subscription handle is destroyed or reset, so an owner that keeps its handles
// as fields can never be called after it is gone. Subscribing or unsubscribing
// from inside a delivery is allowed: a subscriber added during an emission first
// hears the next one, and one removed during it is not called again.
//
// Not thread-safe: a Signal and its subscriptions belong to one queue (in
// practice the main queue).

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vistarail {

class Subscription {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      reset();
      cancel_ = std::exchange(other.cancel_, {});
    }
    return *this;
  }
  ~Subscription() { reset(); }

  void reset() {
    if (auto cancel = std::exchange(cancel_, {})) cancel();
  }
  bool active() const { return static_cast<bool>(cancel_); }

 private:
  std::function<void()> cancel_;
};

template <class... Args>
class Signal {
 public:
  using Handler = std::function<void(const Args&...)>;

  [[nodiscard]] Subscription subscribe(Handler handler) {
    auto slot = std::make_shared<Slot>(Slot{std::move(handler), true});
    slots_->push_back(slot);
    std::weak_ptr<Slots> weakSlots = slots_;
    std::weak_ptr<Slot> weakSlot = slot;
    return Subscription([weakSlots, weakSlot] {
      auto slots = weakSlots.lock();
      auto s = weakSlot.lock();
      if (!slots || !s) return;
      s->live = false;
      std::erase(*slots, s);
    });
  }

  void emit(const Args&... args) const {
    // Deliver to a snapshot so handlers may (un)subscribe while we iterate.
    const Slots snapshot = *slots_;
    for (const auto& slot : snapshot) {
      if (slot->live) slot->handler(args...);
    }
  }

  size_t subscriberCount() const { return slots_->size(); }

 private:
  struct Slot {
    Handler handler;
    bool live;
  };
  using Slots = std::vector<std::shared_ptr<Slot>>;
  std::shared_ptr<Slots> slots_ = std::make_shared<Slots>();
};

}  // namespace vistarail
