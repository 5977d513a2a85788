#include "windows/app_observer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "desk.h"
#include "platform/ax_names.h"

namespace vistarail {
namespace {

using test::Desk;
using Watch = AppObserver::Watch;

// A registration the application let time out was never made: counted as
// done, the window's minimise would go unheard for as long as it exists.
TEST(AppObserver, ARegistrationThatTimedOutIsAskedAgainUntilItIsMade) {
  Desk desk;
  std::vector<std::string> heard;
  RunningApplication app;
  app.pid = desk.pid;
  const auto observer = AppObserver::create(
      desk.ax, app, [&](Pid, const std::string& name, const AXElement&) { heard.push_back(name); });
  ASSERT_TRUE(observer);
  const sim::WindowKey key = desk.openKey({});
  const AXElement window = desk.ax.windowElement(key);
  const WindowId id = desk.world.window(key)->number.value();
  desk.world.setBehaviour(desk.pid, {.faults = {{.name = ax::kWindowMiniaturized,
                                                 .on = sim::FaultOn::notification,
                                                 .error = AXError::cannotComplete,
                                                 .remaining = 2}}});

  EXPECT_EQ(observer->watchNext(window, id), Watch::more);  // destroyed
  EXPECT_EQ(observer->watchNext(window, id), Watch::unanswered);
  EXPECT_EQ(observer->watchNext(window, id), Watch::unanswered);
  int more = 0;
  Watch watch = Watch::more;
  while ((watch = observer->watchNext(window, id)) == Watch::more) ++more;
  EXPECT_EQ(watch, Watch::done);
  // Miniaturised, deminiaturised, moved and resized; the title ends it.
  EXPECT_EQ(more, 4);
  EXPECT_EQ(observer->watchNext(window, id), Watch::done);

  ASSERT_TRUE(desk.world.minimizeWindow(key));
  desk.dispatch.runUntilIdle();
  EXPECT_NE(std::find(heard.begin(), heard.end(), ax::kWindowMiniaturized), heard.end());
}

}  // namespace
}  // namespace vistarail
