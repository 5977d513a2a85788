#include <gtest/gtest.h>

#include "settings_desk.h"

namespace vistarail {
namespace {

using test::SettingsDesk;

constexpr uint32_t kA = 0;
constexpr uint32_t kF5 = 96;
constexpr uint64_t kShift = kEventFlagShift;
constexpr uint64_t kCtrlOpt = kEventFlagControl | kEventFlagOption;
constexpr uint32_t kCtrlOptMask = kControlKeyMask | kOptionKeyMask;

std::vector<KeyCombo> combos(const SettingsDesk& desk, Action action) {
  auto found = desk.settings.bindings.value().find(action);
  return found == desk.settings.bindings.value().end() ? std::vector<KeyCombo>{} : found->second;
}

// Each story: press + on focusLeft's row, type keys, and see what is bound,
// how often the system beeped and whether recording goes on.
TEST(ShortcutRecorder, KeysAreJudgedAsTheyArePressed) {
  struct Press {
    uint32_t keyCode;
    uint64_t flags;
  };
  struct Case {
    const char* name;
    std::vector<Press> presses;
    int beeps;
    bool stillRecording;
    std::optional<KeyCombo> added;  // appended to focusLeft
  };
  const Case cases[] = {
      {"A beeps and keeps listening", {{kA, 0}}, 1, true, std::nullopt},
      {"Shift-A beeps too", {{kA, kShift}}, 1, true, std::nullopt},
      {"F5 alone is taken", {{kF5, 0}}, 0, false, KeyCombo{kF5, 0}},
      {"beeps, then a real shortcut",
       {{kA, 0}, {kA, kShift}, {kA, kCtrlOpt}},
       2,
       false,
       KeyCombo{kA, kCtrlOptMask}},
      {"Escape ends without a change", {{53, 0}}, 0, false, std::nullopt},
      {"Escape with modifiers still cancels", {{53, kCtrlOpt}}, 0, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SettingsDesk desk;
    SettingsWindow& window = desk.open(SettingsTab::shortcuts);
    const auto before = combos(desk, Action::focusLeft);
    ASSERT_TRUE(window.operate("shortcut.focusLeft"));
    EXPECT_EQ(desk.control("shortcut.focusLeft")->detail, "Press the new shortcut… (Esc cancels)");
    EXPECT_TRUE(desk.hotKeys->isSuspended());
    for (const Press& press : c.presses)
      EXPECT_EQ(desk.keys.press(press.keyCode, press.flags), KeyDisposition::consumed) << c.name;
    EXPECT_EQ(desk.beeps, c.beeps) << c.name;
    EXPECT_EQ(window.shortcuts().recording().has_value(), c.stillRecording) << c.name;
    EXPECT_EQ(desk.hotKeys->isSuspended(), c.stillRecording) << c.name;
    EXPECT_EQ(desk.keys.installed(), c.stillRecording ? 1u : 0u) << c.name;
    auto expected = before;
    if (c.added) expected.push_back(*c.added);
    EXPECT_EQ(combos(desk, Action::focusLeft), expected) << c.name;
    if (!c.stillRecording) {
      EXPECT_EQ(desk.control("shortcut.focusLeft")->detail, "") << c.name;
      // Keys go to the window again once recording ends.
      EXPECT_EQ(desk.keys.press(kA, 0), KeyDisposition::passedOn) << c.name;
    }
  }
}

TEST(ShortcutRecorder, ACapturedComboLeavesTheActionThatHadIt) {
  SettingsDesk desk;
  const KeyCombo ctrlOptA{kA, kCtrlOptMask};
  desk.settings.addBinding(ctrlOptA, Action::center);
  desk.hotKeys->registerBindings(desk.settings.bindings.value());
  ASSERT_TRUE(desk.hotKeyLive(ctrlOptA));
  SettingsWindow& window = desk.open(SettingsTab::shortcuts);
  EXPECT_EQ(desk.control("shortcut.center")->keys, (std::vector<std::string>{"⌃⌥C", "⌃⌥A"}));

  window.operate("shortcut.focusLeft");
  // While listening no global shortcut is live, so ⌃⌥A reaches the recorder.
  EXPECT_FALSE(desk.hotKeyLive(ctrlOptA));
  EXPECT_EQ(desk.world.hotKeys().size(), 0u);
  desk.keys.press(kA, kCtrlOpt);
  EXPECT_EQ(desk.control("shortcut.center")->keys, std::vector<std::string>{"⌃⌥C"});
  EXPECT_EQ(desk.control("shortcut.focusLeft")->keys,
            (std::vector<std::string>{"⌃⌥←", "⌃⌥H", "⌃⌥A"}));
  // Back at once, with the new owner: ⌃⌥A now moves focus left.
  EXPECT_FALSE(desk.hotKeys->isSuspended());
  EXPECT_TRUE(desk.hotKeyLive(ctrlOptA));
  EXPECT_EQ(actionForCombo(desk.hotKeys->bindings(), ctrlOptA), Action::focusLeft);
  EXPECT_EQ(desk.beeps, 0);
}

TEST(ShortcutRecorder, OneRecordingAtATimeAndClosingTheWindowEndsIt) {
  SettingsDesk desk;
  SettingsWindow& window = desk.open(SettingsTab::shortcuts);
  window.operate("shortcut.focusLeft");
  window.operate("shortcut.retile");  // the other row's + takes over
  EXPECT_EQ(window.shortcuts().recording(), Action::retile);
  EXPECT_EQ(desk.keys.installed(), 1u);
  EXPECT_EQ(desk.control("shortcut.focusLeft")->detail, "");
  EXPECT_TRUE(desk.hotKeys->isSuspended());

  const size_t live = desk.settings.bindings.value().size();
  desk.controller.close();
  EXPECT_FALSE(window.shortcuts().recording());
  EXPECT_FALSE(desk.hotKeys->isSuspended());
  EXPECT_EQ(desk.keys.installed(), 0u);
  EXPECT_GE(desk.hotKeys->liveCount(), live);
  // A key pressed after closing changes nothing and does not beep.
  EXPECT_EQ(desk.keys.press(kA, 0), KeyDisposition::passedOn);
  EXPECT_EQ(desk.beeps, 0);
}

TEST(ShortcutRecorder, ShortcutButtonsRemoveAndRestoreDefaultsBringsThemBack) {
  SettingsDesk desk;
  SettingsWindow& window = desk.open(SettingsTab::shortcuts);
  auto row = desk.control("shortcut.focusRight");
  EXPECT_EQ(row->label, title(Action::focusRight));
  EXPECT_EQ(row->help, "Record a shortcut");
  window.operate("shortcut.focusRight", 1);  // "Remove ⌃⌥L"
  EXPECT_EQ(desk.control("shortcut.focusRight")->keys, std::vector<std::string>{"⌃⌥→"});
  window.operate("shortcut.focusRight", 0);
  EXPECT_TRUE(desk.control("shortcut.focusRight")->keys.empty());
  window.operate("shortcut.focusRight", 0);  // nothing left to remove
  EXPECT_FALSE(window.shortcuts().recording());
  window.operate("Restore Defaults");
  EXPECT_EQ(desk.settings.bindings.value(), defaultBindings());
  // The groups head their actions, in order.
  EXPECT_EQ(desk.labels(FormControlKind::sectionHeader),
            (std::vector<std::string>{"Navigation", "Moving", "Sizing", "Stacks", "Other"}));
}

}  // namespace
}  // namespace vistarail
