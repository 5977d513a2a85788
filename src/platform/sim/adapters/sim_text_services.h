#pragma once
// The text services answered by ICU, Unicode's own library: matching through
// a collator at secondary strength (case ignored, accents kept, canonically
// equivalent forms equal) and ICU's full, locale-aware upper-casing. The
// locale stands for the user's current one.
//
// Thread-safe: the collator is only read after construction; every search
// opens its own iterator.

#include <memory>
#include <string>
#include <string_view>

#include "platform/text_services.h"

namespace vistarail::sim {

class SimTextServices final : public TextServices {
 public:
  // An ICU locale id ("en_US", "de_DE", "tr_TR", ...); an unknown one falls
  // back to ICU's root rules.
  explicit SimTextServices(std::string locale = "en_US");
  ~SimTextServices() override;
  SimTextServices(const SimTextServices&) = delete;
  SimTextServices& operator=(const SimTextServices&) = delete;

  bool containsIgnoringCase(std::string_view text, std::string_view part) const override;
  int compareIgnoringCase(std::string_view a, std::string_view b) const override;
  std::string upperCased(std::string_view text) const override;

  const std::string& locale() const { return locale_; }

 private:
  struct Icu;
  std::string locale_;
  std::unique_ptr<Icu> icu_;
};

}  // namespace vistarail::sim
