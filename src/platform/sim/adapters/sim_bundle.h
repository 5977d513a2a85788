#pragma once
// The program's bundle on the simulated desktop, as configured: identifier,
// path, information dictionary and resources ("PrivacyPolicy.html" to its
// URL).

#include <map>
#include <optional>
#include <string>

#include "platform/bundle.h"

namespace vistarail::sim {

struct BundleSetup {
  std::optional<std::string> identifier = "com.tolvane.vistarail";
  std::string path = "/Applications/Vistarail.app";
  PropertyList info = PropertyList::object();
  // "name.extension" to the resource's URL.
  std::map<std::string, std::string> resources{};
};

class SimBundle final : public Bundle {
 public:
  explicit SimBundle(BundleSetup setup = {}) : setup_(std::move(setup)) {}

  std::optional<std::string> bundleIdentifier() override { return setup_.identifier; }
  std::string bundlePath() override { return setup_.path; }
  std::optional<PropertyList> infoValue(const std::string& key) override;
  std::optional<std::string> urlForResource(const std::string& name,
                                            const std::string& extension) override;

  BundleSetup& setup() { return setup_; }

 private:
  BundleSetup setup_;
};

}  // namespace vistarail::sim
