#pragma once
// The defaults port over the user defaults: the standard domain of the
// application, or a named suite. Values go through property-list conversion
// both ways; the typed getters' coercions are the port's own.

#include <memory>
#include <string>

#include "platform/defaults.h"

namespace vistarail::macos {

class MacDefaults final : public Defaults {
 public:
  // An empty suite name means the application's standard domain.
  explicit MacDefaults(const std::string& suiteName = "");
  ~MacDefaults() override;

  void registerDefaults(const PropertyList& dictionary) override;
  std::optional<PropertyList> object(const std::string& key) const override;
  void set(const std::string& key, const PropertyList& value) override;
  void remove(const std::string& key) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vistarail::macos
