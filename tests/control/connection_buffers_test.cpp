// The per-client buffers: framing lines with a limit, and the outgoing queue
// that drops events for a slow reader and tells it so.

#include "control/connection_buffers.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace vistarail::control {
namespace {

std::vector<std::string> lines(LineReader& reader) {
  std::vector<std::string> out;
  while (auto line = reader.nextLine()) out.push_back(*line);
  return out;
}

TEST(LineReader, FramesLinesWhateverTheChunks) {
  LineReader reader(16);
  EXPECT_TRUE(reader.append("ab"));
  EXPECT_TRUE(lines(reader).empty());
  EXPECT_TRUE(reader.append("c\r\nde\n\nf"));
  EXPECT_EQ(lines(reader), (std::vector<std::string>{"abc", "de", ""}));
  EXPECT_TRUE(reader.append("g\n"));
  EXPECT_EQ(lines(reader), (std::vector<std::string>{"fg"}));
  EXPECT_EQ(reader.bufferedBytes(), 0u);
}

TEST(LineReader, ManyShortLinesInOneChunkAreFine) {
  LineReader reader(8);
  std::string burst;
  for (int i = 0; i < 100; ++i) burst += "line\n";
  EXPECT_TRUE(reader.append(burst));
  EXPECT_EQ(lines(reader).size(), 100u);
}

TEST(LineReader, ALineAtTheLimitPassesAndOneByteMoreDoesNot) {
  LineReader atLimit(8);
  EXPECT_TRUE(atLimit.append("12345678\n"));
  EXPECT_EQ(lines(atLimit), (std::vector<std::string>{"12345678"}));

  LineReader growing(8);
  EXPECT_TRUE(growing.append("12345"));
  EXPECT_FALSE(growing.append("67890"));
  EXPECT_FALSE(growing.append("\n")) << "stays refused: the stream cannot be framed again";
  EXPECT_TRUE(lines(growing).empty());

  LineReader whole(8);
  EXPECT_TRUE(whole.append("123456789\nok\n")) << "the unfinished tail is what append judges";
  EXPECT_FALSE(whole.nextLine()) << "the complete line over the limit is caught when taken";
  EXPECT_FALSE(whole.nextLine());
}

// A peer that takes at most `room` bytes per write, then would block.
struct Peer {
  std::string received = {};
  size_t room = 1 << 20;
  bool broken = false;
  Outbox::Writer writer() {
    return [this](const char* data, size_t size) -> long {
      if (broken) return -1;
      const size_t n = std::min(size, room);
      received.append(data, n);
      room -= n;
      return static_cast<long>(n);
    };
  }
};

TEST(Outbox, WritesPartiallyAndResumesWhereItStopped) {
  Outbox box(1024, 4096);
  box.pushReply("hello\n");
  box.pushReply("world\n");
  Peer peer{.room = 8};
  EXPECT_EQ(box.flush(peer.writer()), Outbox::Flush::pending);
  EXPECT_EQ(peer.received, "hello\nwo");
  EXPECT_EQ(box.queuedBytes(), 4u);
  peer.room = 100;
  EXPECT_EQ(box.flush(peer.writer()), Outbox::Flush::done);
  EXPECT_EQ(peer.received, "hello\nworld\n");
  EXPECT_TRUE(box.empty());
}

TEST(Outbox, DropsEventsPastItsBoundAndSaysHowManyOnceThereIsRoom) {
  Outbox box(20, 1000);
  box.pushEvent("event-1 (10)\n");
  box.pushEvent("event-2 (10)\n");  // 26 > 20: dropped
  box.pushEvent("event-3 (10)\n");  // dropped
  EXPECT_EQ(box.droppedEvents(), 2u);
  Peer peer;
  EXPECT_EQ(box.flush(peer.writer()), Outbox::Flush::done);
  // Caught up: the notice goes out without waiting for another event.
  const auto second = peer.received.substr(peer.received.find('\n') + 1);
  const auto notice = nlohmann::json::parse(second);
  EXPECT_EQ(notice["event"], "lagged");
  EXPECT_EQ(notice["dropped"], 2);
  EXPECT_EQ(box.laggedNotices(), 1u);
}

TEST(Outbox, TheLagNoticeGoesAheadOfTheNextEventThatFits) {
  Outbox box(20, 1000);
  box.pushEvent("0123456789abcdefghi\n");  // 20: fills the bound
  box.pushEvent("x\n");                    // dropped
  Peer peer{.room = 0};
  EXPECT_EQ(box.flush(peer.writer()), Outbox::Flush::pending);
  peer.room = 20;
  box.flush(peer.writer());
  // The first line went out whole; the notice is now queued.
  EXPECT_EQ(peer.received, "0123456789abcdefghi\n");
  EXPECT_FALSE(box.empty());
}

TEST(Outbox, RepliesAreNeverDroppedButSayWhenPastTheHardLimit) {
  Outbox box(10, 30);
  EXPECT_TRUE(box.pushReply(std::string(25, 'r')));
  EXPECT_FALSE(box.pushReply(std::string(10, 'r')));
  EXPECT_EQ(box.queuedBytes(), 35u);
}

TEST(Outbox, AFailedWriteSaysSo) {
  Outbox box(10, 30);
  box.pushReply("x\n");
  Peer peer{.broken = true};
  EXPECT_EQ(box.flush(peer.writer()), Outbox::Flush::failed);
}

}  // namespace
}  // namespace vistarail::control
