#pragma once
// What the program owes every window it has moved: one record per window with
// one state, changed only through the transitions below.
//
//   (none) --laidOut--> tiled / parked --beginRestore--> restoring(token)
//   restoring --finishRestore(same token, restored)--> released
//   restoring --finishRestore(same token, failed or superseded)--> needsRecovery
//   any --needRecovery--> needsRecovery --beginRestore--> restoring
//   any --laidOut--> tiled / parked;  any --release--> (none)
//
// A restore report carrying an older token than the record's belongs to a
// restore that something newer replaced (a pause, resume and pause in one
// instant) and changes nothing, so a window can never end up neither restoring
// nor restored. A window that is not released is brought back when
// management ends, and remembered in "unrecovered.v1" if that fails.
//
// Main queue only.

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/ids.h"
#include "mover/window_mover.h"

namespace vistarail {

enum class MovedState {
  tiled,          // laid out inside its display by the program
  parked,         // laid out off screen with a sliver inside the edge
  restoring,      // a restore with `restoreToken` is under way
  needsRecovery,  // must be brought back; the recovery timer retries it
  released,       // brought back into view; the program owes it nothing
};
const char* toString(MovedState state);

struct MovedWindow {
  MovedState state = MovedState::tiled;
  MoveToken restoreToken = 0;  // the restore under way; 0 in every other state
  double since = 0;            // dispatch time of the last change of state
  int failedRestores = 0;      // consecutive restores that did not bring it back
};

class MovedWindows {
 public:
  const MovedWindow* find(WindowId id) const;
  const std::unordered_map<WindowId, MovedWindow>& all() const { return records_; }

  // Owed a way back: moved by the program and not brought back yet.
  bool isOwed(WindowId id) const;
  bool is(WindowId id, MovedState state) const;
  // The ids owed a way back, sorted (a deterministic order of restores).
  std::vector<WindowId> owed() const;
  std::vector<WindowId> inState(MovedState state) const;

  // The layout put the window at a frame inside its display or parked it.
  void laidOut(WindowId id, bool parked, double now);
  // False when a restore is already under way (it will report).
  bool beginRestore(WindowId id, MoveToken token, double now);
  // Applies a restore's report when its token is the record's; returns the
  // state the window is in afterwards when it was applied.
  std::optional<MovedState> finishRestore(WindowId id, MoveToken token, RestoreResult result,
                                          double now);
  void needRecovery(WindowId id, double now);
  // Every restore under way is superseded (the mover's work was cancelled):
  // those windows need bringing back again.
  void supersedeRestores(double now);
  // The program is done with the window: gone, or taken by the user.
  void release(WindowId id) { records_.erase(id); }

 private:
  void set(WindowId id, MovedState state, double now);

  std::unordered_map<WindowId, MovedWindow> records_;
};

}  // namespace vistarail
