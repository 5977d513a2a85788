#pragma once
// The hop of display-link frames from the link's own thread to the main
// queue, as data. The link fires on a thread of the system's; each frame is
// posted to the main queue and delivered there. Two faults are easy to make:
// posting every frame even while the main queue is busy (frames pile up and
// play back late, all at once), and delivering a frame that was posted before
// the link was stopped. The gate allows one posted frame at a time and stamps
// it with the run it belongs to. Thread-safe.

#include <cstdint>
#include <mutex>
#include <optional>

namespace vistarail::macos {

class FrameGate {
 public:
  // A new run: frames posted before it are not delivered.
  void start();
  void stop();
  bool running() const;

  // On the link's thread: the run to stamp a new post with, or absent when
  // stopped or when a post is still on its way.
  std::optional<uint64_t> beginPost();
  // On the main queue, for each post: whether its frame is delivered (the run
  // it was stamped with is the current one and still running). Either way
  // the post is done and the next frame may be posted.
  bool finishPost(uint64_t run);

 private:
  mutable std::mutex mutex_;
  uint64_t run_ = 0;
  bool running_ = false;
  bool posted_ = false;
};

}  // namespace vistarail::macos
