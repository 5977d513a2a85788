#include "platform/macos/adapters/mac_login_item.h"

#import <ServiceManagement/ServiceManagement.h>

#include "platform/macos/adapters/objc_bridge.h"
#include "platform/macos/shell_translation.h"

namespace vistarail::macos {

static_assert(SMAppServiceStatusNotRegistered == 0 && SMAppServiceStatusEnabled == 1 &&
                  SMAppServiceStatusRequiresApproval == 2 && SMAppServiceStatusNotFound == 3,
              "loginItemStatusFromCode reads these values");

namespace {

std::optional<std::string> failure(BOOL succeeded, NSError* error) {
  if (succeeded) return std::nullopt;
  // A refusal always has a description to show, even without an error.
  if (!error) return std::string("The system did not change the login item.");
  return stdString(error.localizedDescription);
}

}  // namespace

LoginItemStatus MacLoginItem::status() {
  return loginItemStatusFromCode(SMAppService.mainAppService.status);
}

std::optional<std::string> MacLoginItem::registerItem() {
  NSError* error = nil;
  const BOOL ok = [SMAppService.mainAppService registerAndReturnError:&error];
  return failure(ok, error);
}

std::optional<std::string> MacLoginItem::unregisterItem() {
  NSError* error = nil;
  const BOOL ok = [SMAppService.mainAppService unregisterAndReturnError:&error];
  return failure(ok, error);
}

}  // namespace vistarail::macos
