#pragma once
// The program's own application bundle: identifier, location, the values of
// its information dictionary and the resources it carries.

#include <optional>
#include <string>

#include "platform/property_list.h"

namespace vistarail {

class Bundle {
 public:
  virtual ~Bundle() = default;
  // Absent for a program that runs outside a bundle.
  virtual std::optional<std::string> bundleIdentifier() = 0;
  virtual std::string bundlePath() = 0;
  // A value of the information dictionary ("CFBundleShortVersionString", ...),
  // whatever its kind; absent when the key is missing.
  virtual std::optional<PropertyList> infoValue(const std::string& key) = 0;
  // The URL of a resource by name and extension; absent when there is none.
  virtual std::optional<std::string> urlForResource(const std::string& name,
                                                    const std::string& extension) = 0;
};

}  // namespace vistarail
