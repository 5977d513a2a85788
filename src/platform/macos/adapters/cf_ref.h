#pragma once
// Ownership of CoreFoundation objects. The platform's rule: a function whose
// name contains Create or Copy hands over a reference the caller must
// release; any other (Get) hands over one the caller does not own. So every
// Create/Copy result goes straight into CFRef::adopt, and a Get result that
// must outlive its owner goes into CFRef::retain. A CFRef releases exactly
// once; copies retain.

#include <CoreFoundation/CoreFoundation.h>

#include <utility>

namespace vistarail::macos {

template <class T>
class CFRef {
 public:
  CFRef() = default;
  // Takes over a reference from a Create or Copy call (null is fine).
  static CFRef adopt(T ref) { return CFRef(ref); }
  // Retains a reference from a Get call.
  static CFRef retain(T ref) {
    if (ref) CFRetain(ref);
    return CFRef(ref);
  }

  CFRef(const CFRef& other) : ref_(other.ref_) {
    if (ref_) CFRetain(ref_);
  }
  CFRef(CFRef&& other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}
  CFRef& operator=(CFRef other) noexcept {
    std::swap(ref_, other.ref_);
    return *this;
  }
  ~CFRef() { reset(); }

  void reset() {
    if (ref_) CFRelease(ref_);
    ref_ = nullptr;
  }
  T get() const { return ref_; }
  explicit operator bool() const { return ref_ != nullptr; }
  // For a Create/Copy call's out-parameter: releases what is held first.
  T* out() {
    reset();
    return &ref_;
  }
  // Hands the reference to a caller that will release it.
  T release() { return std::exchange(ref_, nullptr); }

 private:
  explicit CFRef(T ref) : ref_(ref) {}
  T ref_ = nullptr;
};

}  // namespace vistarail::macos
