#include "control/connection_buffers.h"

#include "control/protocol.h"

namespace vistarail::control {

bool LineReader::append(std::string_view bytes) {
  if (overflowed_) return false;
  // Drop the lines already taken before growing the buffer.
  if (start_ > 0 && start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  } else if (start_ > maxLineBytes_) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(bytes);
  // Only the unfinished line at the end counts against the limit: a burst of
  // many small requests in one read is fine (a complete line that is too long
  // is caught when it is taken).
  const size_t last = buffer_.rfind('\n');
  const size_t tail = (last == std::string::npos || last < start_) ? start_ : last + 1;
  if (buffer_.size() - tail > maxLineBytes_ + 1) {  // +1: a carriage return
    overflowed_ = true;
    return false;
  }
  return true;
}

std::optional<std::string> LineReader::nextLine() {
  if (overflowed_) return std::nullopt;
  const size_t newline = buffer_.find('\n', start_);
  if (newline == std::string::npos) return std::nullopt;
  size_t end = newline;
  if (end > start_ && buffer_[end - 1] == '\r') --end;
  std::string line = buffer_.substr(start_, end - start_);
  start_ = newline + 1;
  if (line.size() > maxLineBytes_) {
    // A complete line over the limit in one read.
    overflowed_ = true;
    return std::nullopt;
  }
  return line;
}

bool Outbox::pushReply(std::string line) {
  bytes_ += line.size();
  lines_.push_back(std::move(line));
  return bytes_ <= hardLimit_;
}

void Outbox::pushLagNotice() {
  std::string notice = encodeEvent("lagged", {{"dropped", droppedSinceNotice_}});
  bytes_ += notice.size();
  lines_.push_back(std::move(notice));
  droppedSinceNotice_ = 0;
  ++lagNotices_;
}

void Outbox::pushEvent(std::string line) {
  if (bytes_ + line.size() > eventLimit_) {
    ++droppedSinceNotice_;
    ++droppedTotal_;
    return;
  }
  if (droppedSinceNotice_ > 0) pushLagNotice();
  bytes_ += line.size();
  lines_.push_back(std::move(line));
}

Outbox::Flush Outbox::flush(const Writer& write) {
  while (!lines_.empty()) {
    const std::string& front = lines_.front();
    const long written = write(front.data() + offset_, front.size() - offset_);
    if (written < 0) return Flush::failed;
    if (written == 0) return Flush::pending;
    offset_ += static_cast<size_t>(written);
    bytes_ -= static_cast<size_t>(written);
    if (offset_ == front.size()) {
      lines_.pop_front();
      offset_ = 0;
      // The subscriber caught up: tell it what it missed now rather than
      // with the next event, which may be a long time coming.
      if (lines_.empty() && droppedSinceNotice_ > 0) pushLagNotice();
    }
  }
  return Flush::done;
}

}  // namespace vistarail::control
