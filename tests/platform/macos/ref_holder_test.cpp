// The ownership rule every CoreFoundation object of the adapters is held by,
// against objects that count their references: after any sequence of holds,
// copies, moves and hand-overs, each object is released exactly as often as
// it was retained plus once for the reference it was created with.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/macos/ref_holder.h"

namespace vistarail::macos {
namespace {

struct Obj {
  int count = 1;  // as made by a Create call
  int releasesBelowZero = 0;
};

struct CountingTraits {
  static void retain(Obj* o) { ++o->count; }
  static void release(Obj* o) {
    if (--o->count < 0) ++o->releasesBelowZero;
  }
};

using Ref = RefHolder<Obj*, CountingTraits>;

TEST(MacRefHolder, CreateResultsAreAdoptedAndReleasedOnce) {
  Obj o;
  { const Ref held = Ref::adopt(&o); }
  EXPECT_EQ(o.count, 0);
  EXPECT_EQ(o.releasesBelowZero, 0);
}

TEST(MacRefHolder, GetResultsAreRetainedSoTheOwnerKeepsItsReference) {
  Obj o;
  { const Ref held = Ref::retain(&o); }
  EXPECT_EQ(o.count, 1) << "the owner's reference is untouched";
}

TEST(MacRefHolder, CopiesRetainMovesDoNot) {
  Obj o;
  {
    Ref a = Ref::adopt(&o);
    Ref b = a;
    EXPECT_EQ(o.count, 2);
    Ref c = std::move(a);
    EXPECT_EQ(o.count, 2);
    EXPECT_FALSE(a);  // a moved-from holder is empty
    std::vector<Ref> many(3, b);
    EXPECT_EQ(o.count, 5);
  }
  EXPECT_EQ(o.count, 0);
  EXPECT_EQ(o.releasesBelowZero, 0);
}

TEST(MacRefHolder, AssignmentReleasesWhatWasHeldAndSurvivesSelfAssignment) {
  Obj first;
  Obj second;
  {
    Ref held = Ref::adopt(&first);
    held = Ref::adopt(&second);
    EXPECT_EQ(first.count, 0);
    Ref& alias = held;
    held = alias;  // self-assignment keeps one reference
    EXPECT_EQ(second.count, 1);
    held = std::move(alias);
    EXPECT_EQ(second.count, 1);
    EXPECT_EQ(held.get(), &second);
  }
  EXPECT_EQ(second.count, 0);
  EXPECT_EQ(first.releasesBelowZero + second.releasesBelowZero, 0);
}

TEST(MacRefHolder, OutParametersReleaseTheOldValueAndHandOversReleaseNothing) {
  Obj old;
  Obj made;
  Ref held = Ref::adopt(&old);
  *held.out() = &made;  // as a Copy call fills its out-parameter
  EXPECT_EQ(old.count, 0);
  EXPECT_EQ(made.count, 1);
  Obj* given = held.release();  // to a caller that releases it
  EXPECT_EQ(given, &made);
  EXPECT_FALSE(held);
  held.reset();
  EXPECT_EQ(made.count, 1);
  CountingTraits::release(given);
  EXPECT_EQ(made.count, 0);
  const Ref none = Ref::retain(nullptr);
  EXPECT_FALSE(none);
}

}  // namespace
}  // namespace vistarail::macos
