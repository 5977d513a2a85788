// The manager on a simulated Mac with the real system's harder habits on:
// focus that is taken by another application between a read and its report,
// and writes that land late under the enhanced user interface.

#include <gtest/gtest.h>

#include "manager_scene.h"

namespace vistarail::test {
namespace {

using ::testing::Optional;

struct HardSystem : ManagerScene {};

// After each focus request of the program, another application comes to the
// front on its own, at once or while the program's read of the focused
// window is still on its way back, and its report falls in the request's
// grace period. Whatever the program last asked for, it ends up following
// the window that really has focus, its column focused and in view.
TEST(HardSystem, FocusTakenBetweenAReadAndItsReportIsFollowed) {
  for (const double stealAfter : {0.0, 0.01, 0.05, 0.2}) {
    SCOPED_TRACE(stealAfter);
    HardSystem scene;
    scene.world.setRealism({.focus = {.stealProbability = 1, .stealAfterSeconds = stealAfter}});
    const Pid mail = scene.launch("Mail", {.latencySeconds = 0.03});
    const Pid notes = scene.launch("Notes", {.latencySeconds = 0.03});
    const sim::WindowKey inbox = scene.open(mail, {40, 60, 700, 500});
    scene.run(0.3);
    const sim::WindowKey list = scene.open(notes, {300, 80, 700, 500});
    scene.startManager();
    ASSERT_EQ(scene.describe(), "[101] *[102]");
    // Control-Option-Left: focus the column on the left, Mail's.
    scene.world.pressKey(123, kEventFlagMaskControl | kEventFlagMaskAlternate);
    scene.run(3);
    const auto front = scene.world.focusedWindow();
    ASSERT_TRUE(front);
    EXPECT_THAT(scene.manager->focusedWindow(), Optional(scene.number(*front)));
    const Strip* strip = scene.strip();
    ASSERT_TRUE(strip);
    const WindowId focusedColumn = strip->columns.at(strip->focusedIndex).windows.front();
    EXPECT_EQ(focusedColumn, scene.number(*front));
    EXPECT_TRUE(inView(scene.frame(*front), scene.world.displays()));
    (void)inbox;
    (void)list;
  }
}

}  // namespace
}  // namespace vistarail::test
