#pragma once
// A value that announces each new value to its subscribers, built on Signal.
// Subscribers choose whether they hear the value current when they subscribe,
// and whether a value equal to the last one they saw reaches them again.
// Subscriptions end when their handle is dropped.
//
// Main queue only, like the Signal it wraps.

#include <functional>
#include <memory>
#include <utility>

#include "base/signal.h"

namespace vistarail {

enum class Delivery {
  skipCurrent,  // only values assigned after subscribing
  emitCurrent,  // the current value at once, then every new one
};

enum class Repeats {
  deliverAll,        // every assignment, equal or not
  removeDuplicates,  // not a value equal to the previous one (the current
                     // value at subscription counts as previous, even when skipped)
};

template <class T>
class Published {
 public:
  using Handler = std::function<void(const T&)>;

  explicit Published(T initial) : value_(std::move(initial)) {}
  Published(const Published&) = delete;
  Published& operator=(const Published&) = delete;

  const T& value() const { return value_; }

  // Stores the value and delivers it, equal to the old one or not.
  void assign(T newValue) {
    value_ = std::move(newValue);
    changed_.emit(value_);
  }

  [[nodiscard]] Subscription subscribe(Handler handler, Delivery delivery,
                                       Repeats repeats = Repeats::deliverAll) {
    if (delivery == Delivery::emitCurrent) handler(value_);
    if (repeats == Repeats::deliverAll) return changed_.subscribe(std::move(handler));
    auto last = std::make_shared<T>(value_);
    return changed_.subscribe([last, handler = std::move(handler)](const T& value) {
      if (value == *last) return;
      *last = value;
      handler(value);
    });
  }

  size_t subscriberCount() const { return changed_.subscriberCount(); }

 private:
  T value_;
  Signal<T> changed_;
};

}  // namespace vistarail
