#pragma once
// The updater port on macOS. Built with VISTARAIL_WITH_SPARKLE (the customer
// release, which embeds the Sparkle framework) it is Sparkle's standard
// updater controller: made without starting, started on request, its three
// properties observed by key-value observation, its two preferences written
// and its check shown. Built without it, the updater is honest about
// having nothing: its start fails with a description the settings window
// shows, it can never check, and both preferences read off.

#include "platform/updater.h"

namespace vistarail::macos {

inline constexpr const char* kNoUpdaterDescription =
    "This build of Vistarail has no software updater.";

class MacUpdaterFactory final : public UpdaterFactory {
 public:
  std::unique_ptr<Updater> makeUnstarted() override;
};

}  // namespace vistarail::macos
