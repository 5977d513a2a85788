#include "control/request_handler.h"

#include "app/settings_table.h"
#include "control/state_json.h"

namespace vistarail::control {

Outcome carryOut(const Request& request, WindowManager& manager, AppSettings& settings) {
  Outcome out;
  switch (request.kind) {
    case RequestKind::state:
      out.body = {{"state", stateJson(manager, settings)}};
      break;
    case RequestKind::windows:
      out.body = {{"windows", windowsJson(manager)}};
      break;
    case RequestKind::focused:
      out.body = {{"window", focusedJson(manager)}};
      break;
    case RequestKind::settings:
      out.body = {{"settings", settingsJson(settings)}};
      break;
    case RequestKind::action:
      if (manager.isStopped()) {
        out.error = "the program is quitting";
        break;
      }
      // Commands act on the display the user works on, as a shortcut would;
      // a paused program does nothing, and says so.
      if (!settings.enabled.value() && request.action != Action::togglePause) {
        out.error = "paused: resume first";
        break;
      }
      manager.perform(request.action);
      out.body = {{"action", std::string(rawValue(request.action))}};
      break;
    case RequestKind::set:
      assignSetting(settings, request.setting, request.value);
      // The value as the store keeps it, clamps applied.
      out.body = {{"setting", request.setting}, {"value", settingValue(settings, request.setting)}};
      break;
    case RequestKind::pause:
      if (settings.enabled.value()) settings.enabled.set(false);
      out.body = {{"paused", true}};
      break;
    case RequestKind::resume:
      if (!settings.enabled.value()) settings.enabled.set(true);
      out.body = {{"paused", false}};
      break;
    case RequestKind::subscribe:
      out.body = {
          {"subscribed", request.events.empty() ? Json(eventNames()) : Json(request.events)}};
      break;
  }
  return out;
}

}  // namespace vistarail::control
