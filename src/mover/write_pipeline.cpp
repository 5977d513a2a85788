// The application-queue half of the mover: drain, write, verify (the retries
// and giving up are in retry_and_give_up.cpp).

#include <cmath>
#include <utility>

#include "mover/move_rules.h"
#include "mover/window_mover.h"
#include "platform/ax_names.h"

namespace vistarail {

void WindowMover::drain(WindowId id) {
  std::optional<Request> request;
  std::optional<Rect> applied;
  MoveToken token = 0;
  {
    std::lock_guard guard(mutex_);
    auto it = windows_.find(id);
    if (it == windows_.end()) return;
    request = std::exchange(it->second.pending, std::nullopt);
    applied = it->second.applied;
    token = it->second.token;
  }
  if (!request) return;
  if (applied && *applied == request->frame) {
    // Written already, by a drain whose read-back this request's token has
    // just made obsolete. Nothing to write, but the frame is still unconfirmed:
    // read it back under the new token so a window that ignored it is retried.
    scheduleVerification(*request, token);
    return;
  }
  // Compared with what this mover last wrote, not with what the window is:
  // a move that keeps the size needs one call instead of three.
  const SizeChange change = !applied || applied->size != request->frame.size
                                ? SizeChange::changed
                                : SizeChange::unchanged;
  if (!write(*request->window, request->frame, change, request->parkedOff.has_value())) {
    retryOrGiveUp(*request, token, true);
    return;
  }
  {
    std::lock_guard guard(mutex_);
    auto it = windows_.find(id);
    // Forgotten or cancelled while the write was under way: leave no record
    // behind, or a later request for this frame would be taken as done. (A
    // newer request also moves the token on, but leaves itself pending.)
    if (it == windows_.end()) return;
    it->second.lastWritten = request->frame;
    noteUnconfirmed(it->second, request->frame);
    if (it->second.token != token && !it->second.pending) return;
    it->second.applied = request->frame;
    it->second.written = *request;
  }
  scheduleVerification(*request, token);
}

bool WindowMover::write(const ManagedWindow& window, const Rect& target, SizeChange change,
                        bool parking) {
  switchEnhancedUIOff(window.pid, window.appElement);
  const AXValue position = target.origin;
  if (change == SizeChange::unchanged) {
    const AXError error = ax_.setAttributeValue(window.element, ax::kPosition, position);
    noteAnswer(window.pid, error);
    return error == AXError::success;
  }
  bool ok = true;
  auto set = [&](const char* attribute, const AXValue& value) {
    const AXError error = ax_.setAttributeValue(window.element, attribute, value);
    noteAnswer(window.pid, error);
    ok = ok && error == AXError::success;
    // An application that did not answer in time will not answer the next
    // call either; asking again would only hold its queue longer.
    return error != AXError::cannotComplete;
  };
  // A parking frame keeps a sliver in view only at its own size: at a
  // narrower one it would lie wholly off the display for a moment, where the
  // system pulls a window back into view. So it is sized first.
  if (parking) {
    if (set(ax::kSize, target.size)) set(ax::kPosition, position);
    return ok;
  }
  std::optional<Size> current;
  if (auto read = ax_.copyAttributeValue(window.element, ax::kSize); read.isOk()) {
    current = asSize(*read.value);
  }
  // Shrink, move, size: the window never grows before it has been moved, so it
  // cannot push past a screen edge or over its neighbour on the way.
  if (auto shrinkTo = move_rules::preMoveSize(target.size, current)) {
    if (!set(ax::kSize, *shrinkTo)) return false;
  }
  if (!set(ax::kPosition, position)) return false;
  set(ax::kSize, target.size);
  return ok;
}

void WindowMover::scheduleVerification(const Request& request, MoveToken token) {
  const Pid pid = request.window->pid;
  queueFor(pid)->asyncAfter(move_rules::kVerifyDelaySeconds,
                            afterUrgent(pid, [weak = weak_from_this(), request, token] {
                              if (auto self = weak.lock()) self->verify(request, token);
                            }));
}

void WindowMover::verify(const Request& request, MoveToken token) {
  const WindowId id = request.window->id;
  {
    std::lock_guard guard(mutex_);
    auto it = windows_.find(id);
    if (it == windows_.end()) return;
    // Every new request, cancel and restore moves the token on, and a retry
    // under the same token starts only after this read-back has failed, so
    // the token alone says whether this frame is still the one to confirm.
    if (it->second.token != token) return;
  }
  const std::optional<Rect> read = readFrame(*request.window);
  // Whether a window is parked, and where, depends on its real width, which
  // the manager learns only from here. So every read-back of a parked window
  // reports it, and so does every failed one: a window that refused its
  // width can stand wholly off the display while its column still shows
  // (where the system pulls it back), one that grew back after a narrow read
  // stands partly in view while parked by the old width, and one that took
  // its width at last after a wider read must be parked by it.
  const bool passes =
      read && move_rules::verificationPasses(*read, request.frame, request.parkedOff);
  if (read && (request.parkedOff || !passes)) {
    deliver(Report::verified, id, request.frame, *read);
  }
  if (!passes) {
    retryOrGiveUp(request, token, !read);
    return;
  }
  {
    std::lock_guard guard(mutex_);
    if (auto it = windows_.find(id); it != windows_.end()) {
      it->second.gaveUp.reset();
      it->second.unconfirmed.clear();  // where it was last sent: no glide left
    }
  }
  if (!request.parkedOff) deliver(Report::verified, id, request.frame, *read);
  // A window that will not become as small as asked still passes; its real
  // size goes back so the layout can make room for it.
  if (move_rules::exceedsRequestedSize(read->size, request.frame.size)) {
    deliver(Report::sizeMismatch, id, request.frame, *read);
  }
}

namespace {

std::optional<Rect> frameOf(const AXResult<AXValue>& position, const AXResult<AXValue>& size) {
  if (!position.isOk() || !size.isOk()) return std::nullopt;
  auto origin = asPoint(*position.value);
  auto extent = asSize(*size.value);
  if (!origin || !extent) return std::nullopt;
  return Rect(*origin, *extent);
}

}  // namespace

std::optional<Rect> WindowMover::readFrame(const ManagedWindow& window) {
  const auto read = ax_.copyMultipleAttributeValues(window.element, {ax::kPosition, ax::kSize});
  noteAnswer(window.pid, read[0].error);
  return frameOf(read[0], read[1]);
}

WindowMover::FrameAndFullScreen WindowMover::readFrameAndFullScreen(const ManagedWindow& window) {
  const auto read =
      ax_.copyMultipleAttributeValues(window.element, {ax::kPosition, ax::kSize, ax::kFullScreen});
  noteAnswer(window.pid, read[0].error);
  return {frameOf(read[0], read[1]), read[2].isOk() && asBool(*read[2].value).value_or(false),
          read[0].error == AXError::invalidUIElement};
}

}  // namespace vistarail
