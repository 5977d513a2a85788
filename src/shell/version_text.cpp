#include "shell/version_text.h"

namespace vistarail {
namespace {

std::string stringValue(Bundle& bundle, const std::string& key) {
  const auto value = bundle.infoValue(key);
  if (!value || !value->is_string()) return "\u2014";
  return value->get<std::string>();
}

}  // namespace

std::string versionText(Bundle& bundle) {
  return stringValue(bundle, "CFBundleShortVersionString") + " (" +
         stringValue(bundle, "CFBundleVersion") + ")";
}

}  // namespace vistarail
