// The settings window worked through a scenario as a person works it: a tab
// opened from the status menu, controls operated by label, a shortcut
// recorded by keys, the window closed mid-recording, and the system refusing
// the login item and the updater.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "sim_runner/run.h"
#include "sim_runner/scenario.h"

namespace vistarail::simrun {
namespace {

using ::testing::HasSubstr;

constexpr const char* kDesk =
    R"({"format": 1, "displays": [{"name": "D", "frame": [0, 0, 1440, 900],
                                   "visibleFrame": [0, 25, 1440, 875]}],
        "apps": [{"name": "A", "bundleId": "com.example.a"}],
        "windows": [{"window": "a1", "app": "A", "frame": [40, 60, 800, 500]}])";

ParsedScenario parsedText(const std::string& rest) {
  return parseScenarioText(std::string(kDesk) + rest + "}", "settings.json");
}

RunResult run(const std::string& rest) {
  const ParsedScenario p = parsedText(rest);
  EXPECT_TRUE(p.scenario) << p.describeProblems("settings.json");
  return runScenario(p.scenario.value_or(Scenario{}), {});
}

int beeps(const RunResult& result) {
  return static_cast<int>(std::ranges::count_if(
      result.timeline, [](const TimelineEntry& e) { return e.text == "beep"; }));
}

TEST(SettingsSteps, ImpossibleSettingsStepsAreRefusedBeforeTheRun) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {R"(, "steps": [{"do": "settings", "tab": "colours"}])", "no settings tab is called"},
      {R"(, "steps": [{"do": "stop"}, {"do": "settings"}])",
       "step 2 (settings): the program is stopped"},
      {R"(, "steps": [{"do": "record", "action": "focusLeft", "presses": []}])", "\"presses\""},
      {R"(, "steps": [{"do": "record", "action": "focusLeft", "presses": ["ctrl+hyper"]}])",
       "not keys like"},
      {R"(, "steps": [{"do": "refuse", "service": "dock"}])", "loginItem, updater or updaterBusy"},
      {R"(, "steps": [{"do": "operate"}])", "\"control\""},
      {R"(, "steps": [], "expect": [{"control": "x", "status": "y"}])", "exactly one"},
  };
  for (const auto& [body, problem] : cases) {
    const ParsedScenario p = parsedText(body);
    ASSERT_FALSE(p.scenario) << body;
    EXPECT_THAT(p.describeProblems("settings.json"), HasSubstr(problem)) << body;
  }
}

TEST(SettingsSteps, TheRecorderTakesKeysAsTheWindowReceivesThem) {
  // A and Shift-A beep and keep listening; F5 alone is taken. Control-Option-A
  // recorded for another action moves there. Escape changes nothing.
  const RunResult result = run(R"J(, "steps": [
      {"do": "settings", "tab": "shortcuts"},
      {"do": "record", "action": "focusLeft", "presses": ["a", "shift+a", "f5"]},
      {"do": "record", "action": "focusRight", "presses": ["ctrl+opt+a"]},
      {"do": "record", "action": "focusLeft", "presses": ["ctrl+opt+a"]},
      {"do": "record", "action": "center", "presses": ["escape"]},
      {"do": "snapshot", "name": "recorded"}],
    "expect": [
      {"at": "recorded", "settingsTab": "shortcuts"},
      {"at": "recorded", "control": "shortcut.focusLeft", "shows": "\u2303\u2325\u2190, \u2303\u2325H, F5, \u2303\u2325A"},
      {"at": "recorded", "control": "shortcut.focusRight", "shows": "\u2303\u2325\u2192, \u2303\u2325L"},
      {"at": "recorded", "control": "shortcut.center", "shows": "\u2303\u2325C"}])J");
  EXPECT_TRUE(result.completed) << result.reason;
  EXPECT_EQ(beeps(result), 2);
}

TEST(SettingsSteps, ClosingTheWindowMidRecordingBringsTheShortcutsBack) {
  const RunResult result = run(R"J(, "steps": [
      {"do": "settings", "tab": "shortcuts"},
      {"do": "record", "action": "focusLeft", "presses": ["a"]},
      {"do": "snapshot", "name": "recording"},
      {"do": "closeSettings"},
      {"do": "press", "keys": "ctrl+opt+p"},
      {"do": "wait", "seconds": 1},
      {"do": "snapshot", "name": "paused by its shortcut"},
      {"do": "reopen"},
      {"do": "snapshot", "name": "reopened"}],
    "expect": [
      {"at": "recording", "control": "shortcut.focusLeft", "shows": "Press the new shortcut\u2026 (Esc cancels)"},
      {"at": "paused by its shortcut", "status": "Paused"},
      {"at": "reopened", "settingsTab": "shortcuts"},
      {"at": "reopened", "control": "shortcut.focusLeft", "shows": "\u2303\u2325\u2190, \u2303\u2325H"}])J");
  EXPECT_TRUE(result.completed) << result.reason;
}

TEST(SettingsSteps, ControlsOperatedByLabelChangeTheProgramAtOnce) {
  const RunResult result = run(R"J(, "steps": [
      {"do": "menu", "choose": "Mac Setup\u2026"},
      {"do": "snapshot", "name": "setup"},
      {"do": "settings", "tab": "layout"},
      {"do": "operate", "control": "Between windows", "value": 17.6},
      {"do": "settings", "tab": "rules"},
      {"do": "operate", "control": "rules.field", "value": "  com.example.a  "},
      {"do": "operate", "control": "Add"},
      {"do": "operate", "control": "rules.field", "value": "com.example.a"},
      {"do": "operate", "control": "Add"},
      {"do": "operate", "control": "No such control", "value": true},
      {"do": "wait", "seconds": 1.5},
      {"do": "snapshot", "name": "floating"},
      {"do": "settings", "tab": "layout"},
      {"do": "snapshot", "name": "gaps"}],
    "expect": [
      {"at": "setup", "settingsTab": "setup"},
      {"at": "setup", "control": "check.ax", "shows": "Granted. Vistarail can move and resize windows."},
      {"at": "floating", "control": "rule.com.example.a", "shows": "com.example.a"},
      {"at": "floating", "floating": ["a1"]},
      {"at": "gaps", "control": "Between windows", "shows": "18 pt"}])J");
  EXPECT_TRUE(result.completed) << result.reason;
  const auto& rules = result.states.at("floating")["shell"]["controls"];
  EXPECT_EQ(
      std::ranges::count_if(rules, [](const auto& c) { return c["id"] == "rule.com.example.a"; }),
      1);
  EXPECT_TRUE(std::ranges::any_of(result.timeline, [](const TimelineEntry& e) {
    return e.kind == "skipped" && e.text.find("No such control") != std::string::npos;
  }));
}

TEST(SettingsSteps, RefusedServicesShowInTheWindowAndTheMenu) {
  const RunResult result = run(R"J(, "steps": [
      {"do": "refuse", "service": "loginItem", "description": "Operation not permitted"},
      {"do": "settings"},
      {"do": "operate", "control": "Launch at login", "value": true},
      {"do": "snapshot", "name": "login refused"},
      {"do": "refuse", "service": "updaterBusy"},
      {"do": "wait", "seconds": 0.6, "note": "the shown window follows at its next refresh"},
      {"do": "snapshot", "name": "busy"},
      {"do": "refuse", "service": "updaterBusy", "description": null},
      {"do": "refuse", "service": "updater", "description": "The feed is missing."},
      {"do": "stop"},
      {"do": "start"},
      {"do": "settings"},
      {"do": "snapshot", "name": "updater refused"}],
    "expect": [
      {"at": "login refused", "control": "Launch at login", "shows": "off"},
      {"at": "login refused", "control": "Operation not permitted", "shows": "Operation not permitted"},
      {"at": "busy", "control": "Check for Updates\u2026", "shows": "Check for Updates\u2026 (disabled)"},
      {"at": "updater refused", "control": "Updates could not start. The feed is missing.",
       "shows": "Updates could not start. The feed is missing."}])J");
  EXPECT_TRUE(result.completed) << result.reason;
  const auto menu = [&](const std::string& at) {
    return result.states.at(at)["shell"]["menu"].dump();
  };
  EXPECT_THAT(menu("login refused"), HasSubstr("\"Check for Updates\u2026\""));
  EXPECT_THAT(menu("busy"), HasSubstr("\"(Check for Updates\u2026)\""));
  EXPECT_THAT(menu("updater refused"), HasSubstr("\"(Check for Updates\u2026)\""));
}

}  // namespace
}  // namespace vistarail::simrun
