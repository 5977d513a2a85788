#pragma once
#include <cstdint>

namespace vistarail {

// The window server's window number.
using WindowId = uint32_t;
// A process id.
using Pid = int32_t;
// The system's numeric display id.
using DisplayNumber = uint32_t;

}  // namespace vistarail
