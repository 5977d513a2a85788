#pragma once
// What the control server keeps per client: the bytes of a request line not
// yet complete, and the lines waiting to be written. Both are bounded, so a
// client that sends without end or never reads costs the program a fixed
// amount of memory and never stalls the main queue. No sockets here.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vistarail::control {

// Splits the incoming stream into lines.
class LineReader {
 public:
  explicit LineReader(size_t maxLineBytes) : maxLineBytes_(maxLineBytes) {}
  // Appends what was read; false once a line has grown past the limit
  // (the connection then closes: what follows cannot be framed reliably).
  bool append(std::string_view bytes);
  // The next complete line without its newline (nor a carriage return before
  // it); absent until one is complete.
  std::optional<std::string> nextLine();
  size_t bufferedBytes() const { return buffer_.size() - start_; }
  // A line grew past the limit: nothing more is framed.
  bool overflowed() const { return overflowed_; }

 private:
  size_t maxLineBytes_;
  std::string buffer_;
  size_t start_ = 0;  // where the next line begins
  bool overflowed_ = false;
};

// The lines waiting for a client. Replies are owed: they are always queued,
// and a client that lets them pile up past the hard limit is disconnected.
// Events are news: once the queue holds eventLimit bytes further events are
// dropped and counted, and a "lagged" event saying how many were lost goes
// out ahead of the next one that fits (or as soon as the queue drains).
class Outbox {
 public:
  Outbox(size_t eventLimitBytes, size_t hardLimitBytes)
      : eventLimit_(eventLimitBytes), hardLimit_(hardLimitBytes) {}

  // False when the queue is past the hard limit with it.
  bool pushReply(std::string line);
  void pushEvent(std::string line);

  // The writer returns the bytes it wrote, 0 when the peer cannot take more
  // now, or a negative number when the connection failed.
  using Writer = std::function<long(const char* data, size_t size)>;
  enum class Flush { done, pending, failed };
  Flush flush(const Writer& write);

  bool empty() const { return lines_.empty(); }
  size_t queuedBytes() const { return bytes_; }
  uint64_t droppedEvents() const { return droppedTotal_; }
  uint64_t laggedNotices() const { return lagNotices_; }

 private:
  void pushLagNotice();

  size_t eventLimit_;
  size_t hardLimit_;
  std::deque<std::string> lines_;
  size_t offset_ = 0;  // bytes of the front line already written
  size_t bytes_ = 0;   // unwritten bytes queued
  uint64_t droppedSinceNotice_ = 0;
  uint64_t droppedTotal_ = 0;
  uint64_t lagNotices_ = 0;
};

}  // namespace vistarail::control
