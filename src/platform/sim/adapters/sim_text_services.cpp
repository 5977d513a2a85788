#include "platform/sim/adapters/sim_text_services.h"

#include <unicode/ucol.h>
#include <unicode/usearch.h>
#include <unicode/ustring.h>

#include <limits>

namespace vistarail::sim {

namespace {

constexpr UChar32 kReplacement = 0xFFFD;

int32_t clampedLength(size_t size) {
  return size > static_cast<size_t>(std::numeric_limits<int32_t>::max())
             ? std::numeric_limits<int32_t>::max()
             : static_cast<int32_t>(size);
}

// UTF-16 for ICU; broken UTF-8 becomes U+FFFD rather than failing.
std::u16string utf16(std::string_view text) {
  std::u16string out;
  if (text.empty()) return out;
  int32_t needed = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(nullptr, 0, &needed, text.data(), clampedLength(text.size()), kReplacement,
                       nullptr, &status);
  out.resize(static_cast<size_t>(needed));
  status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(out.data(), needed, &needed, text.data(), clampedLength(text.size()),
                       kReplacement, nullptr, &status);
  if (U_FAILURE(status)) out.clear();
  return out;
}

std::string utf8(const std::u16string& text) {
  std::string out;
  if (text.empty()) return out;
  int32_t needed = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8WithSub(nullptr, 0, &needed, text.data(), clampedLength(text.size()), kReplacement,
                     nullptr, &status);
  out.resize(static_cast<size_t>(needed));
  status = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), needed, &needed, text.data(), clampedLength(text.size()),
                     kReplacement, nullptr, &status);
  if (U_FAILURE(status)) out.clear();
  return out;
}

// Full case folding first, so that ß matches ss and final sigma matches
// sigma, which the collator's strength alone does not give.
std::u16string folded(std::u16string text) {
  if (text.empty()) return text;
  UErrorCode status = U_ZERO_ERROR;
  const int32_t needed = u_strFoldCase(nullptr, 0, text.data(), clampedLength(text.size()),
                                       U_FOLD_CASE_DEFAULT, &status);
  std::u16string out(static_cast<size_t>(needed), u'\0');
  status = U_ZERO_ERROR;
  u_strFoldCase(out.data(), needed, text.data(), clampedLength(text.size()), U_FOLD_CASE_DEFAULT,
                &status);
  return U_FAILURE(status) ? text : out;
}

}  // namespace

struct SimTextServices::Icu {
  UCollator* collator = nullptr;
  ~Icu() {
    if (collator) ucol_close(collator);
  }
};

SimTextServices::SimTextServices(std::string locale)
    : locale_(std::move(locale)), icu_(std::make_unique<Icu>()) {
  UErrorCode status = U_ZERO_ERROR;
  icu_->collator = ucol_open(locale_.c_str(), &status);
  if (U_FAILURE(status)) {
    icu_->collator = nullptr;
    status = U_ZERO_ERROR;
    icu_->collator = ucol_open("", &status);  // ICU's root rules
    if (U_FAILURE(status)) icu_->collator = nullptr;
  }
  if (!icu_->collator) return;
  // Secondary strength: letters and accents count, case does not. Full
  // normalisation makes precomposed and decomposed accents equal.
  ucol_setStrength(icu_->collator, UCOL_SECONDARY);
  status = U_ZERO_ERROR;
  ucol_setAttribute(icu_->collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
}

SimTextServices::~SimTextServices() = default;

bool SimTextServices::containsIgnoringCase(std::string_view text, std::string_view part) const {
  if (part.empty()) return true;
  if (text.empty()) return false;
  if (!icu_->collator) return text.find(part) != std::string_view::npos;
  const std::u16string haystack = folded(utf16(text));
  const std::u16string needle = folded(utf16(part));
  UErrorCode status = U_ZERO_ERROR;
  UStringSearch* search =
      usearch_openFromCollator(needle.data(), clampedLength(needle.size()), haystack.data(),
                               clampedLength(haystack.size()), icu_->collator, nullptr, &status);
  if (U_FAILURE(status)) {
    if (search) usearch_close(search);
    return false;
  }
  const int32_t at = usearch_first(search, &status);
  usearch_close(search);
  return U_SUCCESS(status) && at != USEARCH_DONE;
}

int SimTextServices::compareIgnoringCase(std::string_view a, std::string_view b) const {
  if (!icu_->collator) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  const std::u16string left = folded(utf16(a));
  const std::u16string right = folded(utf16(b));
  const UCollationResult result =
      ucol_strcoll(icu_->collator, left.data(), clampedLength(left.size()), right.data(),
                   clampedLength(right.size()));
  return result == UCOL_LESS ? -1 : (result == UCOL_EQUAL ? 0 : 1);
}

std::string SimTextServices::upperCased(std::string_view text) const {
  const std::u16string source = utf16(text);
  if (source.empty()) return std::string();
  UErrorCode status = U_ZERO_ERROR;
  const int32_t needed = u_strToUpper(nullptr, 0, source.data(), clampedLength(source.size()),
                                      locale_.c_str(), &status);
  std::u16string upper(static_cast<size_t>(needed), u'\0');
  status = U_ZERO_ERROR;
  u_strToUpper(upper.data(), needed, source.data(), clampedLength(source.size()), locale_.c_str(),
               &status);
  if (U_FAILURE(status)) return std::string(text);
  return utf8(upper);
}

}  // namespace vistarail::sim
