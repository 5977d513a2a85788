// Steps that speak to the program through its control socket, as a script
// would: a request and the fields its reply must have, and a subscription
// whose events the timeline records as they arrive.

#include "sim_runner/session.h"
#include "sim_runner/steps.h"

namespace vistarail::simrun::steps {

namespace {

// Virtual time a reply may take; the server answers at once, so this only
// bounds a program that does not answer at all.
constexpr double kReplySeconds = 1.0;

// What in `actual` differs from the expected fields (objects are matched
// member by member, anything else must be equal); absent when all match.
std::optional<std::string> replyMismatch(const Json& expected, const Json& actual,
                                         const std::string& where) {
  if (expected.is_object()) {
    if (!actual.is_object()) return where + " is " + actual.dump() + ", expected an object";
    for (const auto& [key, value] : expected.items()) {
      const std::string path = where.empty() ? key : where + "." + key;
      if (!actual.contains(key)) return path + " is missing";
      if (auto m = replyMismatch(value, actual[key], path)) return m;
    }
    return std::nullopt;
  }
  if (expected != actual) return where + " is " + actual.dump() + ", expected " + expected.dump();
  return std::nullopt;
}

Json withId(const Json& step, const Json& request) {
  Json out = request;
  if (out.is_object() && !out.contains("id")) out["id"] = step.value("id", Json(1));
  return out;
}

void expectReply(Session& s, const Json& step, const std::optional<std::string>& reply,
                 const std::string& error) {
  if (!reply) {
    s.note("unmet", "no reply: " + error);
    return;
  }
  s.note("reply", *reply);
  if (!step.contains("reply")) return;
  const Json parsed = Json::parse(*reply, nullptr, false);
  if (auto problem = replyMismatch(step["reply"], parsed, ""))
    s.note("unmet", "the reply's " + *problem);
}

}  // namespace

void request(Session& s, const Json& step) {
  ControlLink* link = s.control();
  if (!link || !s.manager()) {
    s.note("skipped", "request (the program is not serving)");
    return;
  }
  const Json request = withId(step, step["request"]);
  // Sent as written: a test of a malformed request sends a string.
  const std::string line =
      step["request"].is_string() ? step["request"].get<std::string>() : request.dump();
  s.note("request", line);
  std::string error;
  expectReply(s, step, link->request(line + "\n", kReplySeconds, error), error);
}

void subscribe(Session& s, const Json& step) {
  ControlLink* link = s.control();
  if (!link || !s.manager()) {
    s.note("skipped", "subscribe (the program is not serving)");
    return;
  }
  Json request = {{"id", "events"}, {"request", "subscribe"}};
  if (step.contains("only")) request["events"] = step["only"];
  s.note("request", request.dump());
  std::string error;
  expectReply(s, step, link->subscribe(request.dump() + "\n", kReplySeconds, error), error);
}

}  // namespace vistarail::simrun::steps
