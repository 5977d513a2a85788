#include "platform/macos/tap_translation.h"

namespace vistarail::macos {

std::optional<EventType> eventTypeFromCode(uint32_t code) {
  switch (static_cast<EventType>(code)) {
    case EventType::leftMouseDown:
    case EventType::leftMouseUp:
    case EventType::mouseMoved:
    case EventType::leftMouseDragged:
    case EventType::scrollWheel:
    case EventType::gesture:
    case EventType::tapDisabledByTimeout:
    case EventType::tapDisabledByUserInput:
      return static_cast<EventType>(code);
  }
  return std::nullopt;
}

bool isTapDisabledNotice(EventType type) {
  return type == EventType::tapDisabledByTimeout || type == EventType::tapDisabledByUserInput;
}

bool tapReturnsEvent(TapOption option, EventType type, TapResult result) {
  if (option == TapOption::listenOnly) return true;
  if (isTapDisabledNotice(type)) return true;
  return result == TapResult::passEvent;
}

std::string tapThreadName(const char* creatingQueueLabel) {
  if (creatingQueueLabel == nullptr || creatingQueueLabel[0] == '\0') {
    return kDefaultTapThreadName;
  }
  // Thread names are limited to 63 bytes plus the terminator.
  std::string name(creatingQueueLabel);
  if (name.size() > 63) name.resize(63);
  return name;
}

}  // namespace vistarail::macos
