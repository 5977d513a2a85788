// `vistarail msg`: the words it takes, what it prints, and a whole run
// against the program's socket.

#include "control/msg_command.h"

#include <gmock/gmock.h>

#include <atomic>
#include <sstream>
#include <thread>

#include "control/control_desk.h"

namespace vistarail::control {
namespace {

using ::testing::HasSubstr;

Json requestFor(const std::vector<std::string>& words) {
  std::string error;
  auto inv = parseMsgArguments(words, error);
  EXPECT_TRUE(inv) << error;
  return inv ? inv->request : Json();
}

std::string errorFor(const std::vector<std::string>& words) {
  std::string error;
  EXPECT_FALSE(parseMsgArguments(words, error));
  return error;
}

TEST(MsgCommand, TurnsWordsIntoRequests) {
  EXPECT_EQ(requestFor({"windows"})["request"], "windows");
  EXPECT_EQ(requestFor({"displays"})["request"], "state");
  const Json action = requestFor({"action", "focusRight"});
  EXPECT_EQ(action["action"], "focusRight");
  EXPECT_EQ(requestFor({"set", "innerGap", "12"})["value"], 12);
  EXPECT_EQ(requestFor({"set", "centerMode", "always"})["value"], "always");
  EXPECT_EQ(requestFor({"set", "widthPresets", "[0.5,1]"})["value"], Json({0.5, 1}));
  EXPECT_EQ(requestFor({"events"})["request"], "subscribe");
  EXPECT_FALSE(requestFor({"events"}).contains("events"));
  EXPECT_EQ(requestFor({"events", "paused", "resumed"})["events"], Json({"paused", "resumed"}));
  std::string error;
  const auto inv = parseMsgArguments({"--json", "--socket", "/s", "focused"}, error);
  ASSERT_TRUE(inv);
  EXPECT_TRUE(inv->json);
  EXPECT_EQ(inv->socket, "/s");
}

TEST(MsgCommand, NamesTheWordThatIsWrong) {
  EXPECT_THAT(errorFor({}), HasSubstr("no command"));
  EXPECT_THAT(errorFor({"dance"}), HasSubstr("unknown command \"dance\""));
  EXPECT_THAT(errorFor({"action"}), HasSubstr("usage: msg action NAME"));
  EXPECT_THAT(errorFor({"set", "innerGap"}), HasSubstr("usage: msg set SETTING VALUE"));
  EXPECT_THAT(errorFor({"windows", "extra"}), HasSubstr("usage: msg windows"));
  EXPECT_THAT(errorFor({"--loud", "windows"}), HasSubstr("unknown option --loud"));
  EXPECT_THAT(errorFor({"--socket"}), HasSubstr("needs a path"));
}

TEST(MsgCommand, ShowsRepliesForPeople) {
  const Json window = {
      {"id", 7},         {"app", "Mail"},   {"title", "Inbox"}, {"frame", {8, 45, 852, 700}},
      {"focused", true}, {"parked", false}, {"column", 0}};
  EXPECT_EQ(formatReply("focused", {{"window", window}}),
            "7  Mail \u2014 Inbox  8,45 852x700  column 1  [focused]\n");
  EXPECT_EQ(formatReply("focused", {{"window", nullptr}}), "no focused window\n");
  EXPECT_EQ(formatReply("set", {{"setting", "innerGap"}, {"value", 12.0}}), "innerGap = 12.0\n");
  EXPECT_EQ(formatReply("action", {{"action", "focusLeft"}}), "");
  EXPECT_EQ(formatEvent({{"event", "lagged"}, {"dropped", 3}}), "lagged  3 events dropped");
  EXPECT_EQ(formatEvent({{"event", "focusChanged"}, {"window", nullptr}}), "focusChanged  none");
}

TEST(MsgCommand, HelpIsAManualPage) {
  std::ostringstream out, err;
  EXPECT_EQ(runMsg({"--help"}, "/nowhere", out, err), 0);
  for (const char* section :
       {"NAME", "SYNOPSIS", "COMMANDS", "OPTIONS", "EXIT STATUS", "ENVIRONMENT", "EXAMPLES"}) {
    EXPECT_THAT(out.str(), HasSubstr(section));
  }
  EXPECT_TRUE(err.str().empty());
}

TEST(MsgCommand, FailsWithStatusOneAndTheErrorOnStandardError) {
  std::ostringstream out, err;
  EXPECT_EQ(runMsg({"windows"}, "/nonexistent/control.sock", out, err), 1);
  EXPECT_THAT(err.str(), HasSubstr("is Vistarail running?"));
  EXPECT_TRUE(out.str().empty());
}

// runMsg blocks on its socket, so it runs on a thread of its own while this
// one serves the program in virtual time.
int runAgainst(test::ControlDesk& desk, const std::vector<std::string>& words, std::string& out,
               std::string& err) {
  std::ostringstream o, e;
  std::atomic<bool> done{false};
  int status = -1;
  std::thread client([&] {
    status = runMsg(words, desk.socketPath, o, e);
    done = true;
  });
  for (int i = 0; i < 2000 && !done; ++i) {
    desk.dispatch.waitForDescriptors(0.005);
    desk.settle(0.001);
  }
  client.join();
  out = o.str();
  err = e.str();
  return status;
}

TEST(MsgCommand, SpeaksToTheProgram) {
  test::ControlDesk desk(2);
  std::string out, err;
  EXPECT_EQ(runAgainst(desk, {"windows"}, out, err), 0) << err;
  EXPECT_THAT(out, HasSubstr("Editor \u2014 Doc 1"));
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2);

  EXPECT_EQ(runAgainst(desk, {"--json", "set", "innerGap", "14"}, out, err), 0) << err;
  EXPECT_EQ(Json::parse(out)["value"], 14.0);
  EXPECT_EQ(desk.settings->innerGap.value(), 14.0);

  EXPECT_EQ(runAgainst(desk, {"action", "warp"}, out, err), 1);
  EXPECT_EQ(err, "vistarail msg: unknown action \"warp\"\n");
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace vistarail::control
