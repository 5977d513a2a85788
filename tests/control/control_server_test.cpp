// The control server over real sockets, served on the simulated main queue in
// virtual time: a round trip for each request kind, and every limit.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include <gmock/gmock.h>

#include "control/control_desk.h"

namespace vistarail::test {
namespace {

using Json = nlohmann::json;
using ::testing::HasSubstr;

TEST(ControlServer, ListensInAFolderOfItsOwnWithAnOwnerOnlySocket) {
  ControlDesk desk;
  struct stat socketInfo {};
  ASSERT_EQ(::stat(desk.socketPath.c_str(), &socketInfo), 0);
  EXPECT_TRUE(S_ISSOCK(socketInfo.st_mode));
  EXPECT_EQ(socketInfo.st_mode & 0777, 0600u);
  struct stat folderInfo {};
  ASSERT_EQ(::stat((desk.folder / "run").c_str(), &folderInfo), 0);
  EXPECT_EQ(folderInfo.st_mode & 0777, 0700u);
  desk.server->close();
  EXPECT_NE(::stat(desk.socketPath.c_str(), &socketInfo), 0) << "closing removes the socket";
}

TEST(ControlServer, AnswersEveryReadingRequestWithItsId) {
  ControlDesk desk;
  const Json state = desk.ask(R"({"id": 7, "request": "state"})");
  EXPECT_EQ(state["id"], 7);
  EXPECT_EQ(state["ok"], true);
  EXPECT_EQ(state["state"]["windows"].size(), 3u);
  EXPECT_EQ(state["state"]["displays"][0]["strip"]["columns"].size(), 3u);
  EXPECT_EQ(state["state"]["paused"], false);
  EXPECT_THAT(state["state"]["status"].get<std::string>(), HasSubstr("3 windows"));

  const Json windows = desk.ask(R"({"id": "w", "request": "windows"})");
  EXPECT_EQ(windows["id"], "w");
  ASSERT_EQ(windows["windows"].size(), 3u);
  for (const Json& w : windows["windows"]) {
    EXPECT_EQ(w["app"], "Editor");
    EXPECT_EQ(w["tiled"], true);
    EXPECT_EQ(w["frame"].size(), 4u);
  }
  EXPECT_EQ(windows["windows"][0]["column"], 0) << "listed in strip order";

  const Json focused = desk.ask(R"({"request": "focused"})");
  EXPECT_TRUE(focused["id"].is_null());
  ASSERT_TRUE(focused["window"].is_object());
  EXPECT_EQ(focused["window"]["focused"], true);

  const Json settings = desk.ask(R"({"id": 1, "request": "settings"})");
  EXPECT_EQ(settings["settings"]["innerGap"], 8.0);
  EXPECT_EQ(settings["settings"]["centerMode"], "never");
}

TEST(ControlServer, RunsActionsAndSetsSettingsThroughTheStoreWithItsClamps) {
  ControlDesk desk;
  const auto before = desk.manager->focusedWindow();
  const Json reply = desk.ask(R"({"id": 1, "request": "action", "action": "focusLeft"})");
  EXPECT_EQ(reply["ok"], true);
  EXPECT_EQ(reply["action"], "focusLeft");
  desk.settle(1.0);
  EXPECT_NE(desk.manager->focusedWindow(), before) << "the command reached the manager";

  const Json gap = desk.ask(R"({"id": 2, "request": "set", "setting": "innerGap", "value": 12})");
  EXPECT_EQ(gap["value"], 12.0);
  EXPECT_EQ(desk.settings->innerGap.value(), 12.0);
  EXPECT_EQ(desk.defaults.number("innerGap"), 12.0) << "stored like any change";

  const Json speed =
      desk.ask(R"({"id": 3, "request": "set", "setting": "animationSpeed", "value": 100})");
  EXPECT_EQ(speed["value"], 3.0) << "clamped to the range a stored value is held to";
  const Json fingers =
      desk.ask(R"({"id": 4, "request": "set", "setting": "swipeFingers", "value": 7})");
  EXPECT_EQ(fingers["value"], 4) << "a choice outside the allowed ones falls back";
}

TEST(ControlServer, PausesAndResumes) {
  ControlDesk desk;
  EXPECT_EQ(desk.ask(R"({"request": "pause"})")["paused"], true);
  EXPECT_FALSE(desk.settings->enabled.value());
  const Json refused = desk.ask(R"({"id": 5, "request": "action", "action": "focusLeft"})");
  EXPECT_EQ(refused["ok"], false);
  EXPECT_THAT(refused["error"].get<std::string>(), HasSubstr("paused"));
  EXPECT_EQ(desk.ask(R"({"request": "resume"})")["paused"], false);
  EXPECT_TRUE(desk.settings->enabled.value());
}

TEST(ControlServer, AnswersBadRequestsWithAnErrorAndKeepsTheConnection) {
  ControlDesk desk;
  auto c = desk.connect();
  const std::pair<const char*, const char*> cases[] = {
      {"{not json", "malformed JSON"},
      {"[1, 2]", "must be a JSON object"},
      {R"({"id": 1, "request": "dance"})", "unknown request \"dance\""},
      {R"({"id": 1, "request": "action", "action": "fly"})", "unknown action \"fly\""},
      {R"({"id": 1, "request": "action", "action": 3})", "\"action\" must be a string"},
      {R"({"id": 1, "request": "set", "setting": "innerGap", "value": "wide"})", "takes a number"},
      {R"({"id": 1, "request": "set", "setting": "colour", "value": 1})", "not a setting"},
  };
  for (const auto& [line, error] : cases) {
    const Json reply = desk.ask(c, line);
    EXPECT_EQ(reply["ok"], false) << line;
    EXPECT_THAT(reply["error"].get<std::string>(), HasSubstr(error)) << line;
  }
  EXPECT_EQ(desk.ask(c, R"({"id": 9, "request": "focused"})")["ok"], true)
      << "the same connection still works";
  EXPECT_EQ(desk.server->clientCount(), 1u);
}

TEST(ControlServer, AnswersSeveralRequestsSentInOneWriteInOrder) {
  ControlDesk desk;
  auto c = desk.connect();
  ASSERT_TRUE(c.send(R"({"id": 1, "request": "focused"})"
                     "\n"
                     R"({"id": 2, "request": "settings"})"
                     "\r\n"
                     "\n"
                     R"({"id": 3, "request": "windows"})"
                     "\n"));
  EXPECT_EQ(desk.next(c)["id"], 1);
  EXPECT_EQ(desk.next(c)["id"], 2);
  EXPECT_EQ(desk.next(c)["id"], 3);
}

TEST(ControlServer, ARequestSplitAcrossWritesIsOneRequest) {
  ControlDesk desk;
  auto c = desk.connect();
  ASSERT_TRUE(c.send(R"({"id": 4, "requ)"));
  desk.settle();
  ASSERT_TRUE(c.send(R"(est": "focused"})"
                     "\n"));
  EXPECT_EQ(desk.next(c)["id"], 4);
}

TEST(ControlServer, ClosesTheConnectionOfARequestOver64KiB) {
  ControlDesk desk;
  auto c = desk.connect();
  const std::string huge = R"({"id": 1, "request": "state", "pad": ")" +
                           std::string(control::kMaxRequestBytes, 'x') + "\"}\n";
  c.send(huge);  // the server may close before taking it all
  const Json reply = desk.next(c);
  EXPECT_EQ(reply["ok"], false);
  EXPECT_THAT(reply["error"].get<std::string>(), HasSubstr("larger than 65536"));
  desk.settle(0.05);
  EXPECT_EQ(desk.server->clientCount(), 0u);
  EXPECT_FALSE(c.readLine(0.5)) << "the connection is closed";

  // Just under the limit is a request like any other.
  auto d = desk.connect();
  std::string fits = R"({"id": 2, "request": "focused", "pad": ")";
  fits += std::string(control::kMaxRequestBytes - fits.size() - 2, 'y') + "\"}";
  ASSERT_EQ(fits.size(), control::kMaxRequestBytes);
  EXPECT_EQ(desk.ask(d, fits)["ok"], true);
}

TEST(ControlServer, TurnsAwayClientsPastTheLimit) {
  ControlDesk desk(1);
  std::vector<control::ClientConnection> clients;
  for (size_t i = 0; i < 64; ++i) clients.push_back(desk.connect());
  EXPECT_EQ(desk.server->clientCount(), 64u);
  auto extra = desk.connect();
  const Json refusal = desk.next(extra);
  EXPECT_EQ(refusal["ok"], false);
  EXPECT_THAT(refusal["error"].get<std::string>(), HasSubstr("too many clients"));
  EXPECT_EQ(desk.server->refusedCount(), 1u);
  // One leaves: the next one is let in.
  clients.pop_back();
  desk.settle();
  EXPECT_EQ(desk.server->clientCount(), 63u);
  auto again = desk.connect();
  EXPECT_EQ(desk.ask(again, R"({"id": 1, "request": "focused"})")["ok"], true);
}

TEST(ControlServer, AClientGoneMidReplyIsForgottenQuietly) {
  ControlDesk desk(12);
  for (int round = 0; round < 3; ++round) {
    auto c = desk.connect();
    // Many state replies, none read, then the client vanishes.
    std::string burst;
    for (int i = 0; i < 200; ++i)
      burst += R"({"request": "state"})"
               "\n";
    c.send(burst);
    desk.settle();
    c.close();
    desk.settle(0.05);
  }
  EXPECT_EQ(desk.server->clientCount(), 0u);
  EXPECT_EQ(desk.ask(R"({"id": 1, "request": "focused"})")["ok"], true) << "still serving";
}

TEST(ControlServer, AClientThatNeverReadsItsRepliesIsCutOffAtTheHardLimit) {
  ControlDesk desk(12,
                   {.maxClients = 64, .eventQueueBytes = 64 * 1024, .hardQueueBytes = 256 * 1024});
  auto c = desk.connect();
  // Small socket buffers so the replies pile up in the server.
  int small = 4096;
  ::setsockopt(c.fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  std::string burst;
  for (int i = 0; i < 300; ++i)
    burst += R"({"request": "state"})"
             "\n";
  for (int i = 0; i < 10 && desk.server->clientCount() == 1; ++i) {
    c.send(burst);
    desk.settle();
  }
  EXPECT_EQ(desk.server->clientCount(), 0u);
}

TEST(ControlServer, SharesTheFolderOfNoOtherCopyAndReplacesAStaleSocket) {
  ControlDesk desk;
  std::string error;
  auto second = control::ControlServer::start(desk.socketPath, desk.dispatch, desk.manager,
                                              *desk.settings, error);
  EXPECT_FALSE(second);
  EXPECT_THAT(error, HasSubstr("another copy"));

  // A socket file left by a copy that crashed (nobody listens) is replaced.
  desk.server.reset();
  const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, desk.socketPath.c_str());
  ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(stale);
  desk.server = control::ControlServer::start(desk.socketPath, desk.dispatch, desk.manager,
                                              *desk.settings, error);
  ASSERT_TRUE(desk.server) << error;
  EXPECT_EQ(desk.ask(R"({"id": 1, "request": "focused"})")["ok"], true);
}

TEST(ControlServer, RefusesAFolderOthersMayEnter) {
  sim::test::TempFolder folder;
  ::chmod(folder.path().c_str(), 0755);
  ControlDesk desk;
  std::string error;
  auto server = control::ControlServer::start((folder / "control.sock").string(), desk.dispatch,
                                              desk.manager, *desk.settings, error);
  EXPECT_FALSE(server);
  EXPECT_THAT(error, HasSubstr("open to other users"));
}

}  // namespace
}  // namespace vistarail::test
