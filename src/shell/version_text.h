#pragma once

#include <string>

#include "platform/bundle.h"

namespace vistarail {

// "1.4 (212)": the marketing version and the build number of the bundle, each
// shown as "—" when missing or not a string.
std::string versionText(Bundle& bundle);

}  // namespace vistarail
