// The "system" member of scenarios, and the harder system random stories draw.

#include "sim_runner/system_model.h"

#include <gtest/gtest.h>

#include <map>

#include "sim_runner/explore.h"

namespace vistarail::simrun {
namespace {

constexpr const char* kDesk =
    R"("format": 1, "displays": [{"name": "D", "frame": [0, 0, 1440, 900]}],
  "apps": [{"name": "A"}], "steps": [])";

TEST(SystemModel, BrokenMembersNameThePlaceAndTheProblem) {
  struct Case {
    std::string system, where, what;
  };
  const Case cases[] = {
      {R"({"writesLandAtEndOfCall": 1})", "system.writesLandAtEndOfCall", "true or false"},
      {R"({"notifications": {"drop": 1.5}})", "system.notifications.drop", "probability"},
      {R"({"notifications": {"delay": -0.1}})", "system.notifications.delay", "0 or more"},
      {R"({"focus": {"fail": "often"}})", "system.focus.fail", "probability"},
      {R"({"focus": {"soon": 1}})", "system.focus", "unknown key \"soon\""},
      {R"({"gravity": true})", "system", "unknown key \"gravity\""},
      {R"({"notifications": 3})", "system.notifications", "should be an object"},
      {R"([])", "system", "object"},
  };
  for (const Case& c : cases) {
    const ParsedScenario parsed = parseScenarioText(
        std::string("{") + kDesk + R"(, "system": )" + c.system + "}", "hard.json");
    ASSERT_FALSE(parsed.scenario) << c.system;
    const std::string message = parsed.describeProblems("hard.json");
    EXPECT_NE(message.find(c.where), std::string::npos) << message;
    EXPECT_NE(message.find(c.what), std::string::npos) << message;
  }
}

TEST(SystemModel, EveryMemberReachesTheWorld) {
  const Json system = Json::parse(R"({
    "writesLandAtEndOfCall": true,
    "notifications": {"delay": 0.1, "jitter": 0.2, "coalesce": true, "drop": 0.3},
    "enhancedUIAnimation": 0.4, "clampSizesToScreen": true,
    "focus": {"fail": 0.5, "late": 0.6, "steal": 0.7, "stealAfter": 0.8},
    "displaysShareOneSpace": true})");
  EXPECT_TRUE(systemProblems(system).empty());
  const sim::Realism expected{.writesLandAtEndOfCall = true,
                              .notifications = {.delaySeconds = 0.1,
                                                .jitterSeconds = 0.2,
                                                .coalesce = true,
                                                .dropProbability = 0.3},
                              .enhancedUIAnimationSeconds = 0.4,
                              .clampSizesToScreen = true,
                              .focus = {.failProbability = 0.5,
                                        .lateSeconds = 0.6,
                                        .stealProbability = 0.7,
                                        .stealAfterSeconds = 0.8},
                              .displaysShareOneSpace = true};
  EXPECT_EQ(realismOf(system), expected);
  EXPECT_EQ(realismOf(Json::object()), sim::Realism{});
}

// Random stories meet every behaviour often, never all stories the same, and
// a hardened story is still a valid scenario.
TEST(SystemModel, RandomStoriesTurnEveryBehaviourOnInSomeSeeds) {
  std::map<std::string, int> on;
  const int seeds = 200;
  for (int seed = 1; seed <= seeds; ++seed) {
    const Scenario story = randomStory(static_cast<uint64_t>(seed), 40);
    const ParsedScenario again = parseScenario(story.toJson());
    ASSERT_TRUE(again.scenario) << again.describeProblems("seed " + std::to_string(seed));
    const sim::Realism r = realismOf(story.header.at("system"));
    on["writes"] += r.writesLandAtEndOfCall;
    on["notifications"] += r.notifications != sim::NotificationModel{};
    on["glide"] += r.enhancedUIAnimationSeconds > 0;
    on["clamp"] += r.clampSizesToScreen;
    on["focus"] += r.focus != sim::FocusModel{};
    on["shared"] += r.displaysShareOneSpace;
    bool enhanced = false;
    for (const Json& app : story.header.at("apps")) enhanced |= app.value("enhancedUI", false);
    on["enhancedUI apps"] += enhanced;
    bool sticky = false;
    for (const Step& step : story.steps) sticky |= step.source.value("allSpaces", false);
    on["allSpaces windows"] += sticky;
  }
  ASSERT_EQ(on.size(), 8u);
  for (const auto& [what, count] : on) {
    EXPECT_GT(count, seeds / 5) << what;
    EXPECT_LT(count, seeds) << what;
  }
}

}  // namespace
}  // namespace vistarail::simrun
