// The small conversions of the dispatch, display-link, canvas, hot-key and
// keyboard-layout adapters.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/macos/canvas_geometry.h"
#include "platform/macos/handle_table.h"
#include "platform/macos/key_translation.h"
#include "platform/macos/time_conversion.h"

namespace vistarail::macos {
namespace {

TEST(MacTime, HostTicksUseTheTimeBaseWithoutOverflowing) {
  EXPECT_DOUBLE_EQ(hostTicksToSeconds(1'500'000'000, 1, 1), 1.5);
  // Apple silicon: 24 MHz ticks, 125/3 ns each.
  EXPECT_DOUBLE_EQ(hostTicksToSeconds(24'000'000, 125, 3), 1.0);
  // Ten years of uptime at 24 MHz: ticks * 125 no longer fits 64 bits.
  const uint64_t tenYears = uint64_t{24'000'000} * 86'400 * 3653;
  EXPECT_NEAR(hostTicksToSeconds(tenYears, 125, 3), 86'400.0 * 3653, 1e-3);
  EXPECT_DOUBLE_EQ(hostTicksToSeconds(2'000'000'000, 0, 0), 2.0);
}

TEST(MacTime, DelaysAreNeverNegativeNaNOrOutOfRange) {
  EXPECT_EQ(delayNanoseconds(0.08), 80'000'000);
  EXPECT_EQ(delayNanoseconds(2.0), 2'000'000'000);
  EXPECT_EQ(delayNanoseconds(-1), 0);
  EXPECT_EQ(delayNanoseconds(std::nan("")), 0);
  EXPECT_EQ(delayNanoseconds(std::numeric_limits<double>::infinity()),
            std::numeric_limits<int64_t>::max());
  EXPECT_EQ(delayNanoseconds(1e300), std::numeric_limits<int64_t>::max());
}

TEST(MacCanvasGeometry, CornerRadiusNeverExceedsHalfTheShorterSide) {
  EXPECT_EQ(clampedCornerRadius(Rect(0, 0, 100, 40), 12), 12);
  EXPECT_EQ(clampedCornerRadius(Rect(0, 0, 100, 40), 30), 20);
  EXPECT_EQ(clampedCornerRadius(Rect(0, 0, 6, 40), 12), 3);
  // Negative sizes are the same area; the limit uses the absolute sides.
  EXPECT_EQ(clampedCornerRadius(Rect(0, 0, -10, 40), 12), 5);
  EXPECT_EQ(clampedCornerRadius(Rect(0, 0, 0, 40), 12), 0);
  EXPECT_EQ(clampedCornerRadius(Rect(0, 0, 100, 40), -3), 0);
  EXPECT_EQ(clampedCornerRadius(Rect(0, 0, 100, 40), std::nan("")), 0);
}

TEST(MacCanvasGeometry, ShadowsPointDownInFlippedViews) {
  // A view's "down" is +y when flipped; the context's shadow space is y up.
  EXPECT_EQ(contextShadowOffset({0, 2}, true), (Size{0, -2}));
  EXPECT_EQ(contextShadowOffset({3, -1}, true), (Size{3, 1}));
  EXPECT_EQ(contextShadowOffset({0, 2}, false), (Size{0, 2}));
}

TEST(MacCanvasGeometry, PathsNeedTwoFinitePoints) {
  EXPECT_FALSE(isStrokablePath({}));
  EXPECT_FALSE(isStrokablePath({{1, 1}}));
  EXPECT_TRUE(isStrokablePath({{1, 1}, {2, 2}}));
  EXPECT_FALSE(isStrokablePath({{1, 1}, {std::nan(""), 2}}));
}

TEST(MacHandleTable, NumbersAreNeverReusedSoStaleOnesMiss) {
  HandleTable<std::string> table;
  const uint64_t a = table.add("a");
  const uint64_t b = table.add("b");
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(table.take(a), "a");
  EXPECT_EQ(table.take(a), std::nullopt);
  const uint64_t c = table.add("c");
  EXPECT_NE(c, a);
  EXPECT_EQ(table.take(a), std::nullopt) << "a stale number must not reach a later entry";
  EXPECT_EQ(table.take(0), std::nullopt);
  EXPECT_EQ(table.size(), 2u);
  EXPECT_EQ(table.takeAll(), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(table.size(), 0u);
  EXPECT_EQ(table.take(c), std::nullopt);
}

TEST(MacKeyTranslation, UnitsAreBoundedByTheBufferAndFailuresAreAbsent) {
  const char16_t buffer[4] = {u'a', u'b', u'c', u'd'};
  EXPECT_EQ(translatedUnits(0, buffer, 4, 1), u"a");
  EXPECT_EQ(translatedUnits(0, buffer, 4, 0), u"");
  EXPECT_EQ(translatedUnits(0, buffer, 4, 9), u"abcd");
  EXPECT_EQ(translatedUnits(-50, buffer, 4, 1), std::nullopt);
  EXPECT_EQ(translatedUnits(0, nullptr, 4, 1), std::nullopt);
}

}  // namespace
}  // namespace vistarail::macos
