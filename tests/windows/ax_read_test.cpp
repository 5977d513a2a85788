#include "windows/ax_read.h"

#include <gtest/gtest.h>

#include "desk.h"
#include "platform/ax_names.h"

namespace vistarail {
namespace {

using test::Desk;

sim::Behaviour failing(const char* attribute, AXError error = AXError::cannotComplete) {
  return {.faults = {{.name = attribute, .on = sim::FaultOn::read, .error = error}}};
}

TEST(AXRead, TypedReadsAreAbsentOnFailureOrAnotherType) {
  Desk desk;
  const AXElement app = desk.ax.applicationElement(desk.pid);
  const AXElement window = desk.open({.title = "Notes", .modal = true});
  const AXElement other = desk.open();
  EXPECT_EQ(readString(desk.ax, window, ax::kTitle), "Notes");
  EXPECT_EQ(readString(desk.ax, window, ax::kModal), std::nullopt);
  EXPECT_EQ(readBool(desk.ax, window, ax::kModal), true);
  EXPECT_EQ(readBool(desk.ax, window, ax::kTitle), std::nullopt);
  EXPECT_EQ(readElement(desk.ax, window, ax::kParent), app);
  EXPECT_EQ(readElement(desk.ax, window, ax::kTitle), std::nullopt);
  EXPECT_EQ(readElements(desk.ax, app, ax::kWindows), (std::vector<AXElement>{other, window}));
  EXPECT_TRUE(readElements(desk.ax, window, ax::kTitle).empty());

  desk.world.setBehaviour(desk.pid, failing(ax::kTitle));
  EXPECT_EQ(readString(desk.ax, window, ax::kTitle), std::nullopt);
  desk.world.setBehaviour(desk.pid, failing(ax::kWindows));
  EXPECT_TRUE(readElements(desk.ax, app, ax::kWindows).empty());
}

TEST(AXRead, PresenceIsKnownOnlyForNoValueUnsupportedOrAValue) {
  struct Case {
    sim::Presence presence;
    AXError error;
    std::optional<bool> expected;
  } cases[] = {
      {sim::Presence::present, AXError::cannotComplete, true},
      {sim::Presence::absent, AXError::cannotComplete, false},  // noValue
      {sim::Presence::error, AXError::attributeUnsupported, false},
      {sim::Presence::error, AXError::cannotComplete, std::nullopt},
      {sim::Presence::error, AXError::failure, std::nullopt},
  };
  Desk desk;
  for (const Case& c : cases) {
    const AXElement window = desk.open({.document = c.presence, .presenceError = c.error});
    EXPECT_EQ(readPresence(desk.ax, window, ax::kDocument), c.expected) << toString(c.error);
  }
}

TEST(AXRead, FrameNeedsBothPositionAndSize) {
  Desk desk;
  const Rect frame{40, 60, 800, 600};
  EXPECT_EQ(readFrame(desk.ax, desk.open({.frame = frame})), frame);
  for (const char* attribute : {ax::kPosition, ax::kSize}) {
    const AXElement window = desk.open({.frame = frame, .behaviour = failing(attribute)});
    EXPECT_EQ(readFrame(desk.ax, window), std::nullopt) << attribute;
  }
}

TEST(AXRead, WindowNumberIsAbsentWithoutLookupOnErrorOrWhenZero) {
  Desk desk;
  const sim::WindowKey key = desk.openKey({.number = 42});
  const AXElement numbered = desk.ax.windowElement(key);
  const AXElement unnumbered = desk.open({.number = 0});
  EXPECT_EQ(windowNumberOf(desk.ax, numbered), 42u);
  EXPECT_EQ(windowNumberOf(desk.ax, unnumbered), std::nullopt);
  desk.world.setWindowNumberLookup(false);
  EXPECT_EQ(windowNumberOf(desk.ax, numbered), std::nullopt);
  desk.world.setWindowNumberLookup(true);
  desk.world.closeWindow(key);
  EXPECT_EQ(windowNumberOf(desk.ax, numbered), std::nullopt);
}

}  // namespace
}  // namespace vistarail
