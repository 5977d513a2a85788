#pragma once
// The updater port on macOS. This build links no update framework, so the
// updater is honest about it: it never starts (the start fails with a
// description the settings window shows), can never check, and reports
// both automatic preferences off.

#include "platform/updater.h"

namespace vistarail::macos {

inline constexpr const char* kNoUpdaterDescription =
    "This build of Vistarail has no software updater.";

class MacUpdaterFactory final : public UpdaterFactory {
 public:
  std::unique_ptr<Updater> makeUnstarted() override;
};

}  // namespace vistarail::macos
