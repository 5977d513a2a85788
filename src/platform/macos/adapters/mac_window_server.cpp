#include "platform/macos/adapters/mac_window_server.h"

#include <ApplicationServices/ApplicationServices.h>
#include <dlfcn.h>

#include "platform/macos/adapters/cf_convert.h"
#include "platform/macos/adapters/cf_ref.h"
#include "platform/macos/window_list.h"

namespace vistarail::macos {

namespace {

using MainConnectionFunction = int32_t (*)();
using ManagedSpacesFunction = CFArrayRef (*)(int32_t);

MainConnectionFunction mainConnectionFunction() {
  static const auto function =
      reinterpret_cast<MainConnectionFunction>(dlsym(RTLD_DEFAULT, "CGSMainConnectionID"));
  return function;
}

ManagedSpacesFunction managedSpacesFunction() {
  static const auto function =
      reinterpret_cast<ManagedSpacesFunction>(dlsym(RTLD_DEFAULT, "CGSCopyManagedDisplaySpaces"));
  return function;
}

}  // namespace

std::vector<WindowInfo> MacWindowServer::copyWindowInfo(uint32_t option, WindowId relativeTo) {
  // Copy: the list is ours to release.
  const auto list = CFRef<CFArrayRef>::adopt(CGWindowListCopyWindowInfo(option, relativeTo));
  if (!list) return {};
  const auto plist = plistFromCF(list.get());
  return plist ? windowInfosFromList(*plist) : std::vector<WindowInfo>();
}

std::optional<std::string> MacWindowServer::displayUUID(DisplayNumber display) {
  // Both calls create: both results are released here.
  const auto uuid = CFRef<CFUUIDRef>::adopt(CGDisplayCreateUUIDFromDisplayID(display));
  if (!uuid) return std::nullopt;
  const auto text = CFRef<CFStringRef>::adopt(CFUUIDCreateString(kCFAllocatorDefault, uuid.get()));
  if (!text) return std::nullopt;
  return stringFromCF(text.get());
}

std::optional<SpaceConnection> MacWindowServer::mainConnectionID() {
  const MainConnectionFunction function = mainConnectionFunction();
  if (!function) return std::nullopt;
  return function();
}

std::optional<PropertyList> MacWindowServer::copyManagedDisplaySpaces(SpaceConnection connection) {
  const ManagedSpacesFunction function = managedSpacesFunction();
  if (!function) return std::nullopt;
  // A Copy function by its name: the answer is ours to release.
  const auto spaces = CFRef<CFArrayRef>::adopt(function(connection));
  if (!spaces) return std::nullopt;
  return plistFromCF(spaces.get());
}

}  // namespace vistarail::macos
