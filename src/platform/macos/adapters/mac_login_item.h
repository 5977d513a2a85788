#pragma once
// The login-item port over the service-management interface: the
// application's main login item (SMAppService.mainAppService).

#include "platform/login_item.h"

namespace vistarail::macos {

class MacLoginItem final : public LoginItem {
 public:
  LoginItemStatus status() override;
  std::optional<std::string> registerItem() override;
  std::optional<std::string> unregisterItem() override;
};

}  // namespace vistarail::macos
