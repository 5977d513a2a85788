#pragma once
// The login item of the simulated Mac: registered or not, and a system that
// can be told to refuse the next registrations with a description, as the
// real service does when the user has switched the item off or the bundle is
// not approved.

#include <optional>
#include <string>

#include "platform/login_item.h"

namespace vistarail::sim {

class SimLoginItem final : public LoginItem {
 public:
  LoginItemStatus status() override { return status_; }
  std::optional<std::string> registerItem() override;
  std::optional<std::string> unregisterItem() override;

  // Every later call fails with this description until cleared with nullopt.
  void refuse(std::optional<std::string> description) { refusal_ = std::move(description); }
  void setStatus(LoginItemStatus status) { status_ = status; }
  int calls() const { return calls_; }

 private:
  LoginItemStatus status_ = LoginItemStatus::notRegistered;
  std::optional<std::string> refusal_;
  int calls_ = 0;
};

}  // namespace vistarail::sim
