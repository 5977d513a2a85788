#include "windows/moved_windows.h"

#include <algorithm>

namespace vistarail {

const char* toString(MovedState state) {
  switch (state) {
    case MovedState::tiled:
      return "tiled";
    case MovedState::parked:
      return "parked";
    case MovedState::restoring:
      return "restoring";
    case MovedState::needsRecovery:
      return "needsRecovery";
    case MovedState::released:
      return "released";
  }
  return "?";
}

const MovedWindow* MovedWindows::find(WindowId id) const {
  auto it = records_.find(id);
  return it == records_.end() ? nullptr : &it->second;
}

bool MovedWindows::isOwed(WindowId id) const {
  const MovedWindow* record = find(id);
  return record && record->state != MovedState::released;
}

bool MovedWindows::is(WindowId id, MovedState state) const {
  const MovedWindow* record = find(id);
  return record && record->state == state;
}

std::vector<WindowId> MovedWindows::owed() const {
  std::vector<WindowId> ids;
  for (const auto& [id, record] : records_) {
    if (record.state != MovedState::released) ids.push_back(id);
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::vector<WindowId> MovedWindows::inState(MovedState state) const {
  std::vector<WindowId> ids;
  for (const auto& [id, record] : records_) {
    if (record.state == state) ids.push_back(id);
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

void MovedWindows::set(WindowId id, MovedState state, double now) {
  MovedWindow& record = records_[id];
  if (record.state != state) record.since = now;
  record.state = state;
  record.restoreToken = 0;
}

void MovedWindows::laidOut(WindowId id, bool parked, double now) {
  auto it = records_.find(id);
  const MovedState state = parked ? MovedState::parked : MovedState::tiled;
  if (it != records_.end() && it->second.state == state) return;  // every frame: keep it cheap
  set(id, state, now);
  records_[id].failedRestores = 0;
}

bool MovedWindows::beginRestore(WindowId id, MoveToken token, double now) {
  MovedWindow& record = records_[id];
  if (record.state == MovedState::restoring) return false;
  record.since = now;
  record.state = MovedState::restoring;
  record.restoreToken = token;
  return true;
}

std::optional<MovedState> MovedWindows::finishRestore(WindowId id, MoveToken token,
                                                      RestoreResult result, double now) {
  auto it = records_.find(id);
  if (it == records_.end() || it->second.state != MovedState::restoring ||
      it->second.restoreToken != token) {
    return std::nullopt;
  }
  if (result == RestoreResult::restored || result == RestoreResult::gone) {
    set(id, MovedState::released, now);
    it->second.failedRestores = 0;
  } else {
    // A superseded restore whose record nothing replaced would otherwise wait
    // for a report that never comes: it is owed another one.
    set(id, MovedState::needsRecovery, now);
    // A window waiting out full screen has not failed: it is looked at on
    // the recovery timer's slow beat, not retried at once.
    if (result != RestoreResult::waiting) ++it->second.failedRestores;
  }
  return it->second.state;
}

void MovedWindows::needRecovery(WindowId id, double now) {
  set(id, MovedState::needsRecovery, now);
}

void MovedWindows::supersedeRestores(double now) {
  for (auto& [id, record] : records_) {
    if (record.state != MovedState::restoring) continue;
    record.state = MovedState::needsRecovery;
    record.restoreToken = 0;
    record.since = now;
  }
}

}  // namespace vistarail
