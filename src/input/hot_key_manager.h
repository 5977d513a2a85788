#pragma once
// Turns key bindings into system-wide hot keys, so the shortcuts answer
// whichever application is frontmost, and reports each press as an Action
// on the main queue.
//
// Every registration carries the signature "VSRL" and an id given afresh at
// each registration: 1, 2, ... for every combo visited, actions in
// declaration order and each action's combos in list order. A combo the
// system refuses (another application holds it) consumes its id and is
// simply not live.
//
// The shortcut recorder suspends registration while it listens, so that a
// combo that is already bound reaches the recorder instead of its action.
// Create with std::make_shared: presses hop to the main queue holding it.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "input/action.h"
#include "input/bindings.h"
#include "platform/dispatch.h"
#include "platform/hot_keys.h"

namespace vistarail {

class HotKeyManager : public std::enable_shared_from_this<HotKeyManager> {
 public:
  static constexpr uint32_t kSignature = fourCharCode("VSRL");

  HotKeyManager(HotKeyService& service, Dispatch& dispatch);
  ~HotKeyManager();
  HotKeyManager(const HotKeyManager&) = delete;
  HotKeyManager& operator=(const HotKeyManager&) = delete;

  // Called on the main queue, never inside the system's handler.
  std::function<void(Action)> onAction;

  // Stores the bindings and, unless suspended, replaces every registration
  // with them. The first registration installs the handler, kept for good.
  void registerBindings(const Bindings& bindings);
  void unregisterAll();
  // Set by the shortcut recorder; only a change acts: suspending unregisters
  // everything, resuming registers the stored bindings again.
  void setSuspended(bool suspended);
  bool isSuspended() const { return suspended_; }
  const Bindings& bindings() const { return bindings_; }
  // Hot keys live now (those the system accepted).
  size_t liveCount() const { return refs_.size(); }

  // The installed handler's work: accepts presses of our own hot keys.
  OSStatus handle(const HotKeyEvent& event);

 private:
  HotKeyService& service_;
  Dispatch& dispatch_;
  std::vector<HotKeyRef> refs_;
  std::map<uint32_t, Action> actions_;
  bool handlerInstalled_ = false;
  Bindings bindings_;
  bool suspended_ = false;
};

}  // namespace vistarail
