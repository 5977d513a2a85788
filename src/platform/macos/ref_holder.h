#pragma once
// Ownership of reference-counted platform objects, over a traits type that
// retains and releases them (CoreFoundation's in the adapters, a counting
// fake in the tests). The platform's rule: a function whose name contains
// Create or Copy hands over a reference the caller must release; any other
// (Get) hands over one the caller does not own. So every Create/Copy result
// goes straight into adopt, and a Get result that must outlive its owner into
// retain. A holder releases exactly once; copies retain, moves do not.

#include <utility>

namespace vistarail::macos {

template <class T, class Traits>
class RefHolder {
 public:
  RefHolder() = default;
  // Takes over a reference from a Create or Copy call (null is fine).
  static RefHolder adopt(T ref) { return RefHolder(ref); }
  // Retains a reference from a Get call.
  static RefHolder retain(T ref) {
    if (ref) Traits::retain(ref);
    return RefHolder(ref);
  }

  RefHolder(const RefHolder& other) : ref_(other.ref_) {
    if (ref_) Traits::retain(ref_);
  }
  RefHolder(RefHolder&& other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}
  RefHolder& operator=(RefHolder other) noexcept {
    std::swap(ref_, other.ref_);
    return *this;
  }
  ~RefHolder() { reset(); }

  void reset() {
    if (ref_) Traits::release(std::exchange(ref_, nullptr));
  }
  T get() const { return ref_; }
  explicit operator bool() const { return ref_ != nullptr; }
  // For a Create/Copy call's out-parameter: releases what is held first.
  T* out() {
    reset();
    return &ref_;
  }
  // Hands the reference to a caller that will release it.
  [[nodiscard]] T release() { return std::exchange(ref_, nullptr); }

 private:
  explicit RefHolder(T ref) : ref_(ref) {}
  T ref_ = nullptr;
};

}  // namespace vistarail::macos
