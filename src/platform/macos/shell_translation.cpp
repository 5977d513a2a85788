#include "platform/macos/shell_translation.h"

namespace vistarail::macos {

long terminateReplyCode(TerminateReply reply) {
  switch (reply) {
    case TerminateReply::cancel:
      return 0;
    case TerminateReply::now:
      return 1;
    case TerminateReply::later:
      return 2;
  }
  return 1;
}

LoginItemStatus loginItemStatusFromCode(long code) {
  switch (code) {
    case 0:
      return LoginItemStatus::notRegistered;
    case 1:
      return LoginItemStatus::enabled;
    case 2:
      return LoginItemStatus::requiresApproval;
    default:
      return LoginItemStatus::notFound;
  }
}

uint64_t keyMonitorFlags(uint64_t eventModifierFlags) {
  return eventModifierFlags & kDeviceIndependentFlagsMask;
}

uint64_t menuKeyEquivalentModifiers(uint64_t itemModifiers) {
  return itemModifiers & (kMenuShiftKey | kMenuControlKey | kMenuOptionKey | kMenuCommandKey);
}

std::vector<std::string> alertButtonTitles(const Alert& alert) {
  if (alert.buttons.empty()) return {"OK"};
  return alert.buttons;
}

int alertResponse(long modalResponse, size_t buttonCount) {
  const long first = kAlertFirstButtonReturn;
  if (modalResponse >= first && modalResponse < first + static_cast<long>(buttonCount))
    return static_cast<int>(modalResponse);
  return kAlertFirstButtonReturn;
}

std::string_view updaterKeyPath(UpdaterProperty property) {
  switch (property) {
    case UpdaterProperty::canCheckForUpdates:
      return "canCheckForUpdates";
    case UpdaterProperty::automaticallyChecksForUpdates:
      return "automaticallyChecksForUpdates";
    case UpdaterProperty::automaticallyDownloadsUpdates:
      return "automaticallyDownloadsUpdates";
  }
  return "canCheckForUpdates";
}

}  // namespace vistarail::macos
