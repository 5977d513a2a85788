// Decoding requests with their limits, and encoding replies and events.

#include "control/protocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vistarail::control {
namespace {

using ::testing::HasSubstr;

Request decoded(const std::string& line) {
  const Decoded d = decodeRequest(line);
  EXPECT_TRUE(std::holds_alternative<Request>(d))
      << line << ": "
      << (std::holds_alternative<DecodeError>(d) ? std::get<DecodeError>(d).message : "");
  return std::holds_alternative<Request>(d) ? std::get<Request>(d) : Request{};
}

DecodeError refused(const std::string& line) {
  const Decoded d = decodeRequest(line);
  EXPECT_TRUE(std::holds_alternative<DecodeError>(d)) << line;
  return std::holds_alternative<DecodeError>(d) ? std::get<DecodeError>(d) : DecodeError{};
}

TEST(Protocol, DecodesEveryRequestKind) {
  const std::pair<const char*, RequestKind> table[] = {
      {R"({"request": "state"})", RequestKind::state},
      {R"({"request": "windows"})", RequestKind::windows},
      {R"({"request": "focused"})", RequestKind::focused},
      {R"({"request": "settings"})", RequestKind::settings},
      {R"({"request": "action", "action": "moveLeft"})", RequestKind::action},
      {R"({"request": "set", "setting": "innerGap", "value": 4})", RequestKind::set},
      {R"({"request": "pause"})", RequestKind::pause},
      {R"({"request": "resume"})", RequestKind::resume},
      {R"({"request": "subscribe"})", RequestKind::subscribe},
  };
  for (const auto& [line, kind] : table) EXPECT_EQ(decoded(line).kind, kind) << line;
  EXPECT_EQ(std::size(table), requestNames().size()) << "every request is in the table";

  EXPECT_EQ(decoded(R"({"request": "action", "action": "moveLeft"})").action, Action::moveLeft);
  const Request set =
      decoded(R"({"id": "x", "request": "set", "setting": "centerMode", "value": "always"})");
  EXPECT_EQ(set.id, "x");
  EXPECT_EQ(set.setting, "centerMode");
  EXPECT_EQ(set.value, "always");
  EXPECT_THAT(decoded(R"({"request": "subscribe", "events": ["paused", "focusChanged"]})").events,
              ::testing::ElementsAre("paused", "focusChanged"));
}

TEST(Protocol, RefusesWhatIsWrongAndSaysWhat) {
  const std::pair<std::string, const char*> table[] = {
      {"", "malformed JSON"},
      {"{\"request\": ", "malformed JSON"},
      {"\"state\"", "must be a JSON object"},
      {"{}", "missing \"request\""},
      {R"({"request": 1})", "\"request\" must be a string"},
      {R"({"request": "fly"})", "unknown request \"fly\""},
      {R"({"request": "action"})", "missing \"action\""},
      {R"({"request": "action", "action": ["focusLeft"]})", "\"action\" must be a string"},
      {R"({"request": "action", "action": "teleport"})", "unknown action \"teleport\""},
      {R"({"request": "set", "value": 1})", "missing \"setting\""},
      {R"({"request": "set", "setting": 1, "value": 1})", "\"setting\" must be a string"},
      {R"({"request": "set", "setting": "innerGap"})", "missing \"value\""},
      {R"({"request": "set", "setting": "innerGap", "value": true})", "takes a number"},
      {R"({"request": "set", "setting": "animations", "value": 1})", "takes true or false"},
      {R"({"request": "set", "setting": "centerMode", "value": "sometimes"})", "takes \"never\""},
      {R"({"request": "set", "setting": "widthPresets", "value": []})", "non-empty list"},
      {R"({"request": "set", "setting": "nope", "value": 1})", "\"nope\" is not a setting"},
      {R"({"request": "subscribe", "events": "all"})", "list of event names"},
      {R"({"request": "subscribe", "events": [1]})", "list of event names"},
      {R"({"request": "subscribe", "events": ["rainfall"]})", "unknown event \"rainfall\""},
      {R"({"id": {"a": 1}, "request": "state"})", "\"id\" must be a number or a short string"},
      {R"({"id": ")" + std::string(300, 'i') + R"(", "request": "state"})", "short string"},
  };
  for (const auto& [line, message] : table) {
    EXPECT_THAT(refused(line).message, HasSubstr(message)) << line;
  }
}

TEST(Protocol, RefusesNumbersNoSettingCanHold) {
  // Too large for a double: never an infinite gap.
  refused(R"({"request": "set", "setting": "innerGap", "value": 1e999})");
  refused(R"({"request": "set", "setting": "widthPresets", "value": [0.5, -1e999]})");
}

TEST(Protocol, AnErrorCarriesTheRequestsIdWhenItCouldBeRead) {
  EXPECT_EQ(refused(R"({"id": 12, "request": "fly"})").id, 12);
  EXPECT_TRUE(refused("{oops").id.is_null());
}

TEST(Protocol, LimitsSizeAndNestingBeforeParsing) {
  const std::string over(kMaxRequestBytes + 1, ' ');
  EXPECT_THAT(refused(over).message, HasSubstr("larger than 65536"));
  const std::string deep = R"({"request": "state", "x": )" + std::string(kMaxNesting, '[') +
                           std::string(kMaxNesting, ']') + "}";
  EXPECT_THAT(refused(deep).message, HasSubstr("nested deeper"));
  const std::string fine = R"({"request": "state", "x": )" + std::string(kMaxNesting - 2, '[') +
                           std::string(kMaxNesting - 2, ']') + "}";
  EXPECT_EQ(decoded(fine).kind, RequestKind::state);
}

TEST(Protocol, NestingSkipsBracketsInStrings) {
  EXPECT_EQ(nestingDepth(R"({"a": "[[[[{{{{\"[["})", 10), 1);
  EXPECT_EQ(nestingDepth("[[[]]]", 10), 3);
  EXPECT_EQ(nestingDepth("[[[[[[", 3), 4) << "stops past the limit";
}

TEST(Protocol, RepliesAndEventsAreOneLineWithTheirHeadFirst) {
  const std::string reply = encodeReply(5, {{"zeta", 1}, {"alpha", "a\nb"}});
  EXPECT_EQ(reply.find("{\"id\":5,\"ok\":true"), 0u) << reply;
  EXPECT_EQ(std::count(reply.begin(), reply.end(), '\n'), 1) << "newlines inside are escaped";
  EXPECT_EQ(reply.back(), '\n');
  EXPECT_EQ(encodeError("q", "bad \"thing\""),
            "{\"id\":\"q\",\"ok\":false,\"error\":\"bad \\\"thing\\\"\"}\n");
  EXPECT_EQ(encodeEvent("paused", Json::object()), "{\"event\":\"paused\"}\n");
  // A title that is not valid UTF-8 is replaced, never a throw.
  EXPECT_NO_THROW(encodeEvent("windowAdded", {{"title", std::string("\xff\xfe")}}));
}

}  // namespace
}  // namespace vistarail::control
