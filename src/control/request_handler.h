#pragma once
// Carries out a decoded request on the program and says what to reply. The
// subscription itself is the server's; everything else is here.

#include <optional>
#include <string>

#include "app/app_settings.h"
#include "control/protocol.h"
#include "windows/window_manager.h"

namespace vistarail::control {

struct Outcome {
  Json body = Json::object();        // members of the reply beside "id" and "ok"
  std::optional<std::string> error;  // set when the request failed
};

Outcome carryOut(const Request& request, WindowManager& manager, AppSettings& settings);

}  // namespace vistarail::control
