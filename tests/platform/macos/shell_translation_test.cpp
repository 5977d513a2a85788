#include "platform/macos/shell_translation.h"

#include <gtest/gtest.h>

#include "platform/macos/text_translation.h"

namespace vistarail::macos {
namespace {

TEST(ShellTranslation, TerminateRepliesAndLoginItemStatusesHaveTheSystemsCodes) {
  EXPECT_EQ(terminateReplyCode(TerminateReply::cancel), 0);
  EXPECT_EQ(terminateReplyCode(TerminateReply::now), 1);
  EXPECT_EQ(terminateReplyCode(TerminateReply::later), 2);

  const std::pair<long, LoginItemStatus> statuses[] = {
      {0, LoginItemStatus::notRegistered},
      {1, LoginItemStatus::enabled},
      {2, LoginItemStatus::requiresApproval},
      {3, LoginItemStatus::notFound},
      // Codes a later system may add are never taken for "on".
      {4, LoginItemStatus::notFound},
      {-1, LoginItemStatus::notFound}};
  for (const auto& [code, status] : statuses)
    EXPECT_EQ(loginItemStatusFromCode(code), status) << code;
}

TEST(ShellTranslation, KeyMonitorsHandOnTheDeviceIndependentFlagsOnly) {
  // Shift from the left key (0x2) and from the right key (0x4) is one Shift.
  EXPECT_EQ(keyMonitorFlags(kMenuShiftKey | 0x2), kMenuShiftKey);
  EXPECT_EQ(keyMonitorFlags(kMenuShiftKey | 0x4), kMenuShiftKey);
  EXPECT_EQ(keyMonitorFlags(kMenuControlKey | kMenuOptionKey | 0x1 | 0x20 | 0x40),
            kMenuControlKey | kMenuOptionKey);
  // Caps Lock, the numeric pad and the function key stay: the recorder decides.
  const uint64_t capsNumericFunction = (1ULL << 16) | (1ULL << 21) | (1ULL << 23);
  EXPECT_EQ(keyMonitorFlags(capsNumericFunction | 0x100), capsNumericFunction);
}

TEST(ShellTranslation, MenuKeyEquivalentsKeepOnlyTheFourModifiers) {
  EXPECT_EQ(menuKeyEquivalentModifiers(kMenuCommandKey), kMenuCommandKey);
  EXPECT_EQ(menuKeyEquivalentModifiers(kMenuShiftKey | kMenuCommandKey | (1ULL << 23) | 0x2),
            kMenuShiftKey | kMenuCommandKey);
  EXPECT_EQ(menuKeyEquivalentModifiers(0), 0u);
}

TEST(ShellTranslation, AlertsShowOkWithoutButtonsAndAnswerAButtonOfTheirOwn) {
  EXPECT_EQ(alertButtonTitles({"m", "i", {}}), std::vector<std::string>{"OK"});
  EXPECT_EQ(alertButtonTitles({"m", "i", {"Open", "Cancel"}}),
            (std::vector<std::string>{"Open", "Cancel"}));
  EXPECT_EQ(alertResponse(1000, 2), 1000);
  EXPECT_EQ(alertResponse(1001, 2), 1001);
  // Not a button of this alert (stopped, aborted, a third button code).
  EXPECT_EQ(alertResponse(1002, 2), kAlertFirstButtonReturn);
  EXPECT_EQ(alertResponse(-1001, 1), kAlertFirstButtonReturn);
  EXPECT_EQ(alertResponse(0, 1), kAlertFirstButtonReturn);
}

TEST(ShellTranslation, UpdaterPropertiesAreObservedUnderTheirOwnNames) {
  EXPECT_EQ(updaterKeyPath(UpdaterProperty::canCheckForUpdates), "canCheckForUpdates");
  EXPECT_EQ(updaterKeyPath(UpdaterProperty::automaticallyChecksForUpdates),
            "automaticallyChecksForUpdates");
  EXPECT_EQ(updaterKeyPath(UpdaterProperty::automaticallyDownloadsUpdates),
            "automaticallyDownloadsUpdates");
}

TEST(TextTranslation, MalformedUtf8BecomesReplacementCharactersAndTheRestStays) {
  const std::string fffd = "\xEF\xBF\xBD";
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"Safari", "Safari"},
      {"Stra\xC3\x9F"
       "e \xE2\x80\x94 \xF0\x9F\x98\x80",
       "Stra\xC3\x9F"
       "e \xE2\x80\x94 \xF0\x9F\x98\x80"},
      {"a\xFFz", "a" + fffd + "z"},                     // never a lead byte
      {"\x80", fffd},                                   // a lone continuation
      {"\xC0\xAF", fffd + fffd},                        // overlong '/'
      {"\xE0\x80\xAF", fffd + fffd + fffd},             // overlong, three bytes
      {"\xED\xA0\x80", fffd + fffd + fffd},             // a surrogate half
      {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},  // above U+10FFFF
      {"ab\xE2\x82", "ab" + fffd + fffd},               // cut off at the end
      {"\xC3(", fffd + "("},                            // lead without its continuation
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(repairedUtf8(in), out);
}

}  // namespace
}  // namespace vistarail::macos
