#include "base/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace vistarail {
namespace {

TEST(Geometry, ExtentsOfPlainAndNegativeSizedRects) {
  const auto extents = [](const Rect& r) {
    return std::vector{r.minX(), r.midX(), r.maxX(), r.minY(), r.midY(), r.maxY()};
  };
  const std::vector<double> expected = {10, 25, 40, 20, 40, 60};
  EXPECT_EQ(extents(Rect(10, 20, 30, 40)), expected);
  EXPECT_EQ(extents(Rect(40, 60, -30, -40)), expected);  // same area, drawn backwards
  EXPECT_EQ(extents(Rect(-5, -5, 0, 0)), std::vector<double>(6, -5));
  EXPECT_EQ(extents(Rect(1728, 0, 1920, 1080)),
            (std::vector<double>{1728, 2688, 3648, 0, 540, 1080}));
}

struct Overlap {
  const char* name;
  Rect a;
  Rect b;
  Rect expected;  // null when they do not overlap
  double area;
};

TEST(Geometry, IntersectionAndItsArea) {
  const std::vector<Overlap> cases = {
      {"partial", Rect(0, 0, 10, 10), Rect(5, 5, 10, 10), Rect(5, 5, 5, 5), 25},
      {"contained", Rect(0, 0, 100, 100), Rect(10, 20, 30, 40), Rect(10, 20, 30, 40), 1200},
      {"negative size operand", Rect(0, 0, 10, 10), Rect(15, 15, -10, -10), Rect(5, 5, 5, 5), 25},
      {"touching vertical edges", Rect(0, 0, 10, 10), Rect(10, 0, 5, 10), Rect::null(), 0},
      {"touching horizontal edges", Rect(0, 0, 10, 10), Rect(0, 10, 10, 5), Rect::null(), 0},
      {"touching corners", Rect(0, 0, 10, 10), Rect(10, 10, 5, 5), Rect::null(), 0},
      {"apart", Rect(0, 0, 10, 10), Rect(50, 50, 5, 5), Rect::null(), 0},
      {"null operand", Rect(0, 0, 10, 10), Rect::null(), Rect::null(), 0},
      {"zero width", Rect(0, 0, 10, 10), Rect(5, 0, 0, 10), Rect::null(), 0},
      {"one-point sliver", Rect(1727, 45, 900, 984), Rect(0, 0, 1728, 1117), Rect(1727, 45, 1, 984),
       984},
      {"infinite", Rect::infinite(), Rect(3, 4, 5, 6), Rect(3, 4, 5, 6), 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.a.intersection(c.b), c.expected);
    EXPECT_EQ(c.b.intersection(c.a), c.expected) << "intersection is symmetric";
    EXPECT_DOUBLE_EQ(c.a.intersectionArea(c.b), c.area);
    EXPECT_EQ(c.a.intersects(c.b), !c.expected.isNull());
  }
}

TEST(Geometry, UnionInsetAndStandardizeTreatNullAndNegativeSizes) {
  EXPECT_EQ(Rect(0, 0, 1, 1).unionWith(Rect(5, 5, 1, 1)), Rect(0, 0, 6, 6));
  EXPECT_EQ(Rect::null().unionWith(Rect(2, 3, -2, -3)), Rect(0, 0, 2, 3));
  EXPECT_EQ(Rect(2, 3, 4, 5).unionWith(Rect::null()), Rect(2, 3, 4, 5));
  EXPECT_TRUE(Rect::null().unionWith(Rect::null()).isNull());
  EXPECT_EQ(Rect(0, 0, 10, 10).unionWith(Rect(2, 2, 3, 3)), Rect(0, 0, 10, 10));

  EXPECT_EQ(Rect(0, 0, 10, 10).insetBy(2, 3), Rect(2, 3, 6, 4));
  EXPECT_EQ(Rect(0, 0, 10, 10).insetBy(-2, 0), Rect(-2, 0, 14, 10));
  EXPECT_EQ(Rect(0, 0, 10, 10).grownBy(1), Rect(-1, -1, 12, 12));
  EXPECT_EQ(Rect(0, 0, 10, 10).insetBy(5, 5), Rect(5, 5, 0, 0)) << "exactly empty is still a rect";
  EXPECT_TRUE(Rect(0, 0, 10, 10).insetBy(6, 0).isNull());
  EXPECT_EQ(Rect(10, 10, -10, -10).insetBy(1, 1), Rect(1, 1, 8, 8));
  EXPECT_TRUE(Rect::null().insetBy(1, 1).isNull());
  EXPECT_TRUE(Rect::null().offsetBy(5, 5).isNull());

  EXPECT_EQ(Rect(10, 10, -4, -6).standardized(), Rect(6, 4, 4, 6));
  EXPECT_EQ(Rect(10, 10, 4, -6).standardized(), Rect(10, 4, 4, 6));
  EXPECT_TRUE(Rect::null().standardized().isNull());
  EXPECT_DOUBLE_EQ(Rect(10, 10, -4, -6).width(), 4);
  EXPECT_DOUBLE_EQ(Rect(10, 10, -4, -6).height(), 6);
}

TEST(Geometry, ContainsCountsTheMinimumEdgesButNotTheMaximumOnes) {
  const Rect r(0, 0, 10, 10);
  for (const Point p : {Point{0, 0}, Point{9.999, 9.999}}) EXPECT_TRUE(r.contains(p)) << p.x;
  for (const Point p : {Point{10, 5}, Point{5, 10}, Point{-0.001, 5}}) {
    EXPECT_FALSE(r.contains(p)) << p.x << "," << p.y;
  }
  EXPECT_FALSE(Rect::null().contains(Point{0, 0}));

  EXPECT_TRUE(r.contains(r));
  EXPECT_TRUE(r.contains(Rect(2, 2, 8, 8)));
  EXPECT_FALSE(r.contains(Rect(2, 2, 9, 8)));
  EXPECT_FALSE(r.contains(Rect::null()));
  EXPECT_FALSE(Rect::null().contains(r));
  EXPECT_TRUE(Rect::infinite().contains(Rect(-1e12, -1e12, 2e12, 2e12)));
}

TEST(Geometry, NullEmptyAndInfinite) {
  EXPECT_TRUE(Rect::null().isEmpty());
  EXPECT_FALSE(Rect::null().isInfinite());
  EXPECT_TRUE(Rect(0, 0, 0, 5).isEmpty());
  EXPECT_FALSE(Rect(0, 0, 0, 5).isNull());
  EXPECT_FALSE(Rect(0, 0, 1, 1).isEmpty());
  EXPECT_FALSE(Rect(0, 0, 1, 1).isInfinite());
  const Rect inf = Rect::infinite();
  EXPECT_TRUE(inf.isInfinite());
  EXPECT_FALSE(inf.isNull());
  EXPECT_FALSE(inf.isEmpty());
  // Arithmetic on it stays finite, so code computing centres never sees NaN.
  EXPECT_TRUE(std::isfinite(inf.midX()));
  EXPECT_TRUE(std::isfinite(inf.width()));
}

TEST(Geometry, FlipVerticallyMirrorsAgainstThePrimaryHeightAndRoundTrips) {
  const double primaryHeight = 1117;
  // The visible frame of a display with a 37-point menu bar and an 80-point Dock.
  const Rect topLeft(0, 37, 1728, 1000);
  EXPECT_EQ(flipVertically(topLeft, primaryHeight), Rect(0, 80, 1728, 1000));
  for (const Rect& r :
       {topLeft, Rect(1728, -200, 1920, 1080), Rect(-50.5, 900.25, 3, 7), Rect(10, 10, -4, -6)}) {
    SCOPED_TRACE(testing::PrintToString(r));
    EXPECT_EQ(flipVertically(flipVertically(r, primaryHeight), primaryHeight), r.standardized());
  }
  EXPECT_EQ(flipVertically(Point{5, 100}, primaryHeight), (Point{5, 1017}));
  EXPECT_EQ(flipVertically(flipVertically(Point{-3, 2000}, 900), 900), (Point{-3, 2000}));
}

TEST(Geometry, RoundHalfAwayFromZero) {
  const std::vector<std::pair<double, double>> cases = {
      {0.5, 1},
      {-0.5, -1},
      {1.5, 2},
      {-1.5, -2},
      {2.5, 3},
      {-2.5, -3},
      {2.4, 2},
      {-2.4, -2},
      {2.6, 3},
      {-0.4, 0},
      {0.49999999, 0},
      {1e15 + 0.5, 1e15 + 1},
      // the largest double below one half, where adding 0.5 first would round up
      {0.49999999999999994, 0},
      {-0.49999999999999994, 0},
      // whole from 2^52 on, and past what a 64-bit integer holds
      {4503599627370497.0, 4503599627370497.0},
      {-4503599627370497.0, -4503599627370497.0},
      {1e300, 1e300},
      {-1e300, -1e300},
      {4503599627370495.5, 4503599627370496.0}};
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(roundHalfAwayFromZero(in), out) << "input " << in;
    // The same as the library's rounding, down to the sign of a zero.
    EXPECT_EQ(std::signbit(roundHalfAwayFromZero(in)), std::signbit(std::round(in)))
        << "input " << in;
  }
  EXPECT_TRUE(std::signbit(roundHalfAwayFromZero(-0.4)));
  EXPECT_TRUE(std::isnan(roundHalfAwayFromZero(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(roundHalfAwayFromZero(-std::numeric_limits<double>::infinity()),
            -std::numeric_limits<double>::infinity());
}

TEST(Geometry, NearFramesDifferByAtMostTheToleranceAtEachEdge) {
  const Rect r{10, 20, 300, 200};
  EXPECT_TRUE(r.isNear({12, 17, 303, 198}, 3));
  for (const Rect& off : {Rect{14, 20, 300, 200}, Rect{10, 16, 300, 200}, Rect{10, 20, 296, 200},
                          Rect{10, 20, 300, 204}}) {
    EXPECT_FALSE(r.isNear(off, 3)) << off;
  }
}

}  // namespace
}  // namespace vistarail
