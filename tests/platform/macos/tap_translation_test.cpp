// The event-tap adapter's per-event decisions.

#include <gtest/gtest.h>

#include <string>

#include "platform/macos/tap_translation.h"

namespace vistarail::macos {
namespace {

TEST(MacTapTranslation, KnownTypesPassAndOthersAreNotModelled) {
  for (uint32_t code : {1u, 2u, 5u, 6u, 22u, 29u, 0xFFFFFFFEu, 0xFFFFFFFFu}) {
    const auto type = eventTypeFromCode(code);
    ASSERT_TRUE(type) << code;
    EXPECT_EQ(static_cast<uint32_t>(*type), code);
  }
  // Right mouse, key down, flags changed, the tap-disabled codes' neighbours.
  for (uint32_t code : {0u, 3u, 10u, 12u, 30u, 0xFFFFFFFDu}) {
    EXPECT_FALSE(eventTypeFromCode(code)) << code;
  }
}

TEST(MacTapTranslation, OnlyAnActiveTapSwallowsAndNeverADisableNotice) {
  struct Case {
    TapOption option;
    EventType type;
    TapResult result;
    bool returned;
  };
  const Case cases[] = {
      {TapOption::listenOnly, EventType::scrollWheel, TapResult::swallow, true},
      {TapOption::listenOnly, EventType::leftMouseDown, TapResult::passEvent, true},
      {TapOption::active, EventType::scrollWheel, TapResult::swallow, false},
      {TapOption::active, EventType::scrollWheel, TapResult::passEvent, true},
      {TapOption::active, EventType::tapDisabledByTimeout, TapResult::swallow, true},
      {TapOption::active, EventType::tapDisabledByUserInput, TapResult::swallow, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<uint32_t>(c.type));
    EXPECT_EQ(tapReturnsEvent(c.option, c.type, c.result), c.returned);
  }
  EXPECT_TRUE(isTapDisabledNotice(EventType::tapDisabledByTimeout));
  EXPECT_FALSE(isTapDisabledNotice(EventType::scrollWheel));
  EXPECT_TRUE(readsScrollFields(EventType::scrollWheel));
  EXPECT_FALSE(readsScrollFields(EventType::gesture));
}

TEST(MacTapTranslation, TheTapThreadIsNamedAfterItsQueue) {
  EXPECT_EQ(tapThreadName("app.vistarail.scroll-tap"), "app.vistarail.scroll-tap");
  EXPECT_EQ(tapThreadName(nullptr), kDefaultTapThreadName);
  EXPECT_EQ(tapThreadName(""), kDefaultTapThreadName);
  // The system refuses longer names outright; cut rather than lose the name.
  EXPECT_EQ(tapThreadName(std::string(100, 'q').c_str()).size(), 63u);
}

}  // namespace
}  // namespace vistarail::macos
