#pragma once
// The application's main login item, shaped after the service-management
// interface: whether the system will open the application at login, and
// registering or unregistering it. Registration can be refused (the user
// turned the item off in System Settings, the bundle is not signed, ...);
// the refusal comes back as the system's own description, to be shown as is.

#include <optional>
#include <string>

namespace vistarail {

enum class LoginItemStatus {
  notRegistered,
  enabled,
  requiresApproval,  // registered, waiting for the user in System Settings
  notFound,
};

class LoginItem {
 public:
  virtual ~LoginItem() = default;
  virtual LoginItemStatus status() = 0;
  // Absent on success; otherwise the error's localized description.
  virtual std::optional<std::string> registerItem() = 0;
  virtual std::optional<std::string> unregisterItem() = 0;
};

}  // namespace vistarail
