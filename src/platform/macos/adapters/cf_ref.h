#pragma once
// CoreFoundation objects held by the Create/Copy rule (see ref_holder.h).

#include <CoreFoundation/CoreFoundation.h>

#include "platform/macos/ref_holder.h"

namespace vistarail::macos {

struct CFTraits {
  static void retain(CFTypeRef ref) { CFRetain(ref); }
  static void release(CFTypeRef ref) { CFRelease(ref); }
};

template <class T>
using CFRef = RefHolder<T, CFTraits>;

}  // namespace vistarail::macos
