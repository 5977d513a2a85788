#include "platform/x11/frame_geometry.h"

#include <gtest/gtest.h>

namespace vistarail::x11 {
namespace {

TEST(FrameExtents, ReadsFourCardinalsAndRejectsWhatNoWindowManagerWrites) {
  EXPECT_EQ(extentsFromProperty({1, 2, 20, 4}), (FrameExtents{1, 2, 20, 4}));
  EXPECT_EQ(extentsFromProperty({1, 2, 20, 4, 99}), (FrameExtents{1, 2, 20, 4}));
  EXPECT_EQ(extentsFromProperty({}), FrameExtents{});
  EXPECT_EQ(extentsFromProperty({1, 2, 20}), FrameExtents{});
  EXPECT_EQ(extentsFromProperty({1, -2, 20, 4}), FrameExtents{});
  EXPECT_EQ(extentsFromProperty({1, 2, 100000, 4}), FrameExtents{});
}

TEST(FrameExtents, FrameAndClientAreEachOthersInverse) {
  const FrameExtents e{1, 3, 20, 4};
  const Rect client(100, 50, 484, 316);
  const Rect frame = frameOfClient(client, e);
  EXPECT_EQ(frame, Rect(99, 30, 488, 340));
  EXPECT_EQ(clientForFrame(frame, e), client);
  // A frame smaller than its decorations still asks for a real window.
  EXPECT_EQ(clientForFrame(Rect(0, 0, 2, 10), e), Rect(1, 20, 1, 1));
}

TEST(ConfigureOrigin, FollowsTheClientsGravity) {
  // A frame at (100, 50), 500 x 400; the client inside is 480 x 370 with
  // 10 left, 10 right, 25 top, 5 bottom decorations.
  const FrameExtents e{10, 10, 25, 5};
  const Rect frame(100, 50, 500, 400);
  const Size client{480, 370};
  struct Case {
    int gravity;
    Point expected;
  };
  const Case cases[] = {
      {1, {100, 50}},   // north-west: the frame's corner
      {2, {110, 50}},   // north: centred across
      {3, {120, 50}},   // north-east
      {4, {100, 65}},   // west: centred down
      {5, {110, 65}},   // centre
      {6, {120, 65}},   // east
      {7, {100, 80}},   // south-west
      {9, {120, 80}},   // south-east
      {10, {110, 75}},  // static: the client's own corner
      {0, {100, 50}},   // forget gravity: as north-west
      {42, {100, 50}},  // nonsense: as north-west
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gravity);
    EXPECT_EQ(configureOriginFor(frame, client, e, c.gravity), c.expected);
  }
}

TEST(SizeBounds, HintsBecomeFrameSizesAndFixedOnlyWhenBothAgree) {
  const FrameExtents e{1, 1, 20, 4};
  const SizeBounds fixed = frameSizeBounds(true, {400, 300}, true, {400, 300}, e);
  EXPECT_EQ(fixed.minimum, (Size{402, 324}));
  EXPECT_EQ(fixed.maximum, (Size{402, 324}));
  EXPECT_TRUE(fixed.isFixed());
  EXPECT_FALSE(frameSizeBounds(true, {400, 300}, true, {800, 300}, e).isFixed());
  const SizeBounds minimumOnly = frameSizeBounds(true, {10, 17}, false, {400, 300}, e);
  EXPECT_EQ(minimumOnly.minimum, (Size{12, 41}));
  EXPECT_EQ(minimumOnly.maximum, (Size{0, 0}));
  EXPECT_FALSE(minimumOnly.isFixed());
  // A zero hint is no hint.
  EXPECT_EQ(frameSizeBounds(true, {0, 300}, false, {}, e).minimum, (Size{0, 0}));
}

}  // namespace
}  // namespace vistarail::x11
