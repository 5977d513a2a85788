#pragma once
// WindowMover: the only writer of other applications' window frames.
//
// Callers on the main thread hand it a target frame and return at once. The
// frame is written through the accessibility services on a serial queue of the
// window's application ("app.vistarail.ax." + pid), read back a moment later,
// retried a bounded number of times, and the outcome reported on the main queue.
// Every other accessibility call aimed at an application goes through the same
// queue (`perform`), so traffic to one application never overlaps and a slow or
// hung application delays only its own work.
//
// Each write is a transaction, the same idea as sway's transactions: pending
// state, commit, then apply on reply or time-out. `apply` records the pending
// request and takes a new token for the window; the drain commits it (writes
// the newest pending frame only, so frames that arrive faster than the
// application can take them are skipped, never queued up); the reply is the
// read-back 0.08 s later, which settles the transaction when the window is
// where it was asked to be, and otherwise leads to retries after 0.1, 0.3 and
// 0.9 s and finally to giving the frame up for 2 s. Any step that finds the
// token moved on belongs to a superseded transaction and abandons itself
// silently; nothing is cancelled in flight.
//
// Around writes the mover switches the application's enhanced user interface
// off (it makes applications animate every change) and back on 0.5 s after the
// last write. `restore` brings a window back into a visible area and says how
// that went.
//
// Threads: `apply`, `perform` and the caller-locked operations run on the main
// thread; both callbacks are delivered there. The lock guards the per-window
// records, the queues and the enhanced-interface records; it is held for
// bookkeeping only, never across an accessibility call, a sleep or a dispatch.
// Create the mover with std::make_shared: queued work holds it weakly and does
// nothing once it is gone.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "mover/managed_window.h"
#include "platform/accessibility.h"
#include "platform/dispatch.h"

namespace vistarail {

// A window's generation: a newer request, a cancel or a restore takes a new
// one, and work carrying an older one abandons itself. Tokens are never
// reused, not even after `forget`, so late work can never mistake a new
// request for its own.
using MoveToken = uint64_t;

// `waiting`: the window cannot be judged now, so it is looked at again later.
// Either it is full screen, shown in a Space of its own and refusing every
// move (leaving full screen takes it back to the frame it had before, which
// may be out of view); or it was read in view while the frame last sent it
// out may still be on its way (a glide shows where it started), so a read
// now would prove nothing.
// `gone`: the window no longer exists (its element is invalid), so there is
// nothing to bring back and nothing to try again.
enum class RestoreResult { restored, failed, superseded, waiting, gone };
const char* toString(RestoreResult result);

class WindowMover : public std::enable_shared_from_this<WindowMover> {
 public:
  // (window id, frame written, frame read back).
  using ReadBackCallback = std::function<void(WindowId, const Rect&, const Rect&)>;
  using RestoreCompletion = std::function<void(RestoreResult)>;

  struct Request {
    ManagedWindowRef window;
    Rect frame;  // target, top-left-origin global points
    // Present for a request that parks the window: the area it must end up
    // clear of, all but a sliver.
    std::optional<Rect> parkedOff;
    int attempt = 0;  // 0 for a fresh request, 1 to 3 for retries

    friend bool operator==(const Request&, const Request&) = default;
  };

  // Proof that the caller holds the mover's lock, for the caller-locked
  // operations below. Hold it briefly: application queues wait for it.
  class Lock {
   public:
    Lock(Lock&&) = default;

   private:
    friend class WindowMover;
    explicit Lock(const WindowMover& mover) : owner_(&mover), guard_(mover.mutex_) {}
    const WindowMover* owner_;
    std::unique_lock<std::mutex> guard_;
  };

  WindowMover(Accessibility& ax, Dispatch& dispatch);
  WindowMover(const WindowMover&) = delete;
  WindowMover& operator=(const WindowMover&) = delete;

  // Set once at start-up on the main thread; called on the main queue.
  // A verified window came out larger than requested.
  ReadBackCallback onSizeMismatch;
  // A write that was not a parking request was verified.
  ReadBackCallback onVerified;
  // The window did not take its frame after every retry; the frame is given
  // up for a while.
  std::function<void(WindowId)> onGaveUp;
  // The application let one of the mover's calls time out: it is hung, and
  // tells nobody what becomes of its windows meanwhile.
  std::function<void(Pid)> onUnanswered;

  // Queues the frame for the window. A frame that is not finite is ignored:
  // no value for it could be handed to the application.
  void apply(const ManagedWindowRef& window, const Rect& frame,
             std::optional<Rect> parkedOff = std::nullopt);
  // A second look at a window: reads it back against the frame last written
  // and writes that frame again only if the window is not there (one call
  // when nothing moved it). Without a written frame to look at, the next
  // frame applied is written in full. Forgets a given-up frame either way.
  void recheck(WindowId id);
  // Runs the block on the application's queue, after everything queued there.
  void perform(Pid pid, Task block);
  // Runs the block on the application's queue once nothing else queued there
  // by `apply` or `perform` is waiting: bookkeeping that must never hold up a
  // slow application's scans, frames or restores.
  void performWhenIdle(Pid pid, Task block);
  // Work that must not wait behind what a slow application's queue already
  // holds (bringing windows back at a pause or a stop): it runs before the
  // next task queued for the application starts, and at the yield points of
  // a long one under way.
  void performUrgent(Pid pid, Task block);
  // On the application's queue: runs the urgent work waiting for it. Long
  // tasks call it between their items.
  void runUrgent(Pid pid);

  [[nodiscard]] Lock lock() const { return Lock(*this); }

  // Caller-locked: ends all work for the window (pending, written and given-up
  // records go, the token moves on).
  void cancel(const Lock& held, WindowId id);
  // As cancel; returns the token a following `restore` must carry.
  MoveToken beginRestore(const Lock& held, WindowId id);
  // Drops every pending request and given-up frame and moves every token on;
  // the written frames are kept.
  void cancelAll(const Lock& held);
  // The window is gone: drops everything the mover knows of it.
  void forget(const Lock& held, WindowId id);
  // The window manager's reads and its "lay this window out afresh".
  bool hasPending(const Lock& held, WindowId id) const;
  std::optional<Rect> appliedFrame(const Lock& held, WindowId id) const;
  MoveToken token(const Lock& held, WindowId id) const;
  void dropAppliedAndGaveUp(const Lock& held, WindowId id);

  // Runs on the window's application queue (submit it with `perform` after
  // `beginRestore`). Brings the window into `area` unless it already lies in
  // one of `screens`. The completion runs on the main queue.
  void restore(const ManagedWindowRef& window, const std::vector<Rect>& screens, const Rect& area,
               MoveToken token, RestoreCompletion completion);
  // Switches enhanced user interface back on for every application the mover
  // has a queue for; the completion runs on the main queue when all are done,
  // even if the mover is released meanwhile.
  void restoreAllEnhancedUI(Task completion);

 private:
  enum class SizeChange { unchanged, changed };
  enum class Report { verified, sizeMismatch };

  struct GaveUp {
    Rect frame;
    double untilWallSeconds = 0;
  };
  struct WindowRecord {
    std::optional<Request> pending;
    std::optional<Rect> applied;  // last frame written successfully
    std::optional<Request> written;  // the request that wrote it
    // The last frame written, kept through cancels: a restore judges its
    // read-back by it.
    std::optional<Rect> lastWritten;
    // Frames written and not yet seen taken, oldest first: the window may be
    // gliding to any of them still (an application that animates its frames
    // glides on to one it took before it began to drop writes), or may have
    // dropped them. A read-back that finds the window where it was last
    // written ends them.
    std::vector<Rect> unconfirmed;
    std::optional<GaveUp> gaveUp;
    MoveToken token = 0;
  };
  // Keeps the few most recent: a window glides to one frame at a time.
  static void noteUnconfirmed(WindowRecord& record, const Rect& frame);
  struct EnhancedUIReading {
    bool value = false;
    double checkedWallSeconds = 0;
  };
  struct EnhancedUIOff {
    uint64_t generation = 0;  // one per switch-off, so an older timer stands down
    AXElement app;
    double lastWriteSeconds = 0;  // media time
    bool timerQueued = false;
    double refusedUntil = -1;  // media time; see kEnhancedUIRefusedSeconds
  };

  // Both take and release the lock themselves.
  QueueRef queueFor(Pid pid);
  // The task, preceded by the application's urgent work.
  Task afterUrgent(Pid pid, Task task);
  QueueRef existingQueue(Pid pid) const;
  void checkHeld(const Lock& held) const;
  MoveToken nextToken() { return ++lastToken_; }

  // Application-queue steps of the write pipeline (write_pipeline.cpp).
  void drain(WindowId id);
  // Parking writes the size before the position (see there).
  bool write(const ManagedWindow& window, const Rect& target, SizeChange change,
             bool parking = false);
  void scheduleVerification(const Request& request, MoveToken token);
  void verify(const Request& request, MoveToken token);
  // `callFailed`: the last try's write or read-back call failed or timed
  // out, rather than reading the window somewhere else.
  void retryOrGiveUp(const Request& request, MoveToken token, bool callFailed);
  void resumeRetry(Request request, MoveToken token);
  // One round trip each: a slow application charges its latency per call,
  // and a restore or read-back of a window waits behind every call before it.
  std::optional<Rect> readFrame(const ManagedWindow& window);
  struct FrameAndFullScreen {
    std::optional<Rect> frame;
    bool fullScreen = false;
    bool gone = false;  // the element is invalid: the window was closed
  };
  FrameAndFullScreen readFrameAndFullScreen(const ManagedWindow& window);
  void deliver(Report report, WindowId id, const Rect& requested, const Rect& read);
  // Passes a timed-out call on to `onUnanswered`.
  void noteAnswer(Pid pid, AXError error);

  // Enhanced user interface (enhanced_ui.cpp), application queue only.
  void switchEnhancedUIOff(Pid pid, const AXElement& app);
  // Switches it back on once the application's writes have stopped for a
  // moment: one timer per application, however many writes the burst had.
  void restoreEnhancedUIAfter(double delay, Pid pid, uint64_t generation);
  // False when the application let the call time out: it is not answering.
  // One that turned it down lately is not asked again unless `evenIfRefused`.
  bool restoreEnhancedUI(Pid pid, bool evenIfRefused = false);

  RestoreResult restoreWindow(const ManagedWindow& window, const std::vector<Rect>& screens,
                              const Rect& area);
  // Queues the task, counted in `waiting_` until it starts.
  void enqueue(Pid pid, const QueueRef& queue, Task task);
  // On the application's queue: runs the block now if nothing counted in
  // `waiting_` is, otherwise queues it again behind that.
  void runWhenIdle(Pid pid, Task block);

  Accessibility& ax_;
  Dispatch& dispatch_;

  mutable std::mutex mutex_;
  // Guarded by mutex_:
  std::unordered_map<WindowId, WindowRecord> windows_;
  std::unordered_map<Pid, QueueRef> queues_;
  std::unordered_map<Pid, std::deque<Task>> urgent_;
  // Tasks of `apply` and `perform` queued and not yet started, per application.
  std::unordered_map<Pid, int> waiting_;
  std::unordered_map<Pid, EnhancedUIReading> enhancedUI_;
  std::unordered_map<Pid, EnhancedUIOff> enhancedUIOff_;
  uint64_t enhancedUIMoves_ = 0;
  MoveToken lastToken_ = 0;
};

}  // namespace vistarail
