#pragma once
// The bundle port over the main NSBundle: identifier, path, the information
// dictionary's values (through the property-list bridge) and resource URLs.

#include "platform/bundle.h"

namespace vistarail::macos {

class MacBundle final : public Bundle {
 public:
  std::optional<std::string> bundleIdentifier() override;
  std::string bundlePath() override;
  std::optional<PropertyList> infoValue(const std::string& key) override;
  std::optional<std::string> urlForResource(const std::string& name,
                                            const std::string& extension) override;
};

}  // namespace vistarail::macos
