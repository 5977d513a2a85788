// Reads, writes, settability and actions of the simulated accessibility
// services, with the error codes callers turn into absent values and retries.

#include <gtest/gtest.h>

#include "platform/ax_names.h"
#include "world_fixture.h"

namespace vistarail::sim::testing {
namespace {

class SimAccessibilityTest : public WorldTest {
 protected:
  SimAccessibilityTest() {
    pid = launch("Editor");
    a = open(pid, "A", {100, 100, 600, 400});
    b = open(pid, "B", {200, 150, 500, 300});
  }
  AXResult<AXValue> read(const AXElement& e, const char* attribute) {
    return ax.copyAttributeValue(e, attribute);
  }
  Rect frameOf(WindowKey key) { return world.window(key)->frame; }

  Pid pid = 0;
  WindowKey a = 0;
  WindowKey b = 0;
};

TEST_F(SimAccessibilityTest, ApplicationElementListsItsWindowsFrontToBackAndItsFocus) {
  EXPECT_EQ(asString(*read(app(pid), ax::kRole).value), ax::kApplicationRole);
  EXPECT_EQ(asString(*read(app(pid), ax::kTitle).value), "Editor");
  EXPECT_EQ(asElements(*read(app(pid), ax::kWindows).value),
            (std::vector<AXElement>{win(b), win(a)}));
  EXPECT_EQ(asElement(*read(app(pid), ax::kFocusedWindow).value), win(b));
  EXPECT_EQ(asBool(*read(app(pid), ax::kFrontmost).value), true);

  Pid other = launch("Other", LaunchActivation::staysInBackground);
  EXPECT_EQ(read(app(other), ax::kFocusedWindow).error, AXError::noValue);
  EXPECT_EQ(asElements(*read(app(other), ax::kWindows).value), std::vector<AXElement>{});
  EXPECT_EQ(asBool(*read(app(other), ax::kFrontmost).value), false);
}

TEST_F(SimAccessibilityTest, WindowAttributesReflectTheWorld) {
  world.editWindow(a, [](SimWindow& w) { w.modal = true; });
  EXPECT_EQ(asString(*read(win(a), ax::kRole).value), ax::kWindowRole);
  EXPECT_EQ(asString(*read(win(a), ax::kSubrole).value), ax::kStandardWindowSubrole);
  EXPECT_EQ(asBool(*read(win(a), ax::kModal).value), true);
  EXPECT_EQ(asString(*read(win(a), ax::kTitle).value), "A");
  EXPECT_EQ(asPoint(*read(win(a), ax::kPosition).value), (Point{100, 100}));
  EXPECT_EQ(asSize(*read(win(a), ax::kSize).value), (Size{600, 400}));
  EXPECT_EQ(asBool(*read(win(a), ax::kFullScreen).value), false);
  EXPECT_EQ(asBool(*read(win(a), ax::kMinimized).value), false);
  EXPECT_EQ(asBool(*read(win(b), ax::kMain).value), true);
  EXPECT_EQ(asBool(*read(win(a), ax::kMain).value), false);
}

TEST_F(SimAccessibilityTest, ParentAndOwningWindowDistinguishChildWindows) {
  // A plain window: its parent is the application, its owning window itself.
  auto parent = asElement(*read(win(a), ax::kParent).value);
  ASSERT_TRUE(parent);
  EXPECT_EQ(*parent, app(pid));
  EXPECT_EQ(asString(*read(*parent, ax::kRole).value), ax::kApplicationRole);
  EXPECT_EQ(asElement(*read(win(a), ax::kWindow).value), win(a));

  WindowKey sheet = world.openWindow(pid, {.title = "Save",
                                           .frame = {150, 120, 400, 200},
                                           .role = ax::kSheetRole,
                                           .subrole = std::nullopt,
                                           .parent = a,
                                           .owner = a});
  EXPECT_EQ(asElement(*read(win(sheet), ax::kParent).value), win(a));
  EXPECT_EQ(asString(*read(*asElement(*read(win(sheet), ax::kParent).value), ax::kRole).value),
            ax::kWindowRole);
  EXPECT_EQ(asElement(*read(win(sheet), ax::kWindow).value), win(a));
  EXPECT_EQ(asString(*read(win(sheet), ax::kRole).value), ax::kSheetRole);
  // No subrole: the attribute exists but holds nothing.
  EXPECT_EQ(read(win(sheet), ax::kSubrole).error, AXError::noValue);
}

TEST_F(SimAccessibilityTest, PresenceAttributesAreTriState) {
  world.editWindow(a, [](SimWindow& w) {
    w.minimizeButton = Presence::absent;
    w.fullScreenButton = Presence::error;
    w.presenceError = AXError::failure;
    w.document = Presence::present;
  });
  EXPECT_EQ(read(win(a), ax::kMinimizeButton).error, AXError::noValue);
  EXPECT_EQ(read(win(a), ax::kFullScreenButton).error, AXError::failure);
  EXPECT_TRUE(asString(*read(win(a), ax::kDocument).value));
  EXPECT_EQ(read(win(b), ax::kDocument).error, AXError::noValue);

  auto button = asElement(*read(win(b), ax::kMinimizeButton).value);
  ASSERT_TRUE(button);
  EXPECT_EQ(asString(*read(*button, ax::kRole).value), ax::kButtonRole);
  EXPECT_EQ(asElement(*read(*button, ax::kWindow).value), win(b));
}

TEST_F(SimAccessibilityTest, ErrorsForMissingAttributesStaleElementsAndGoneApplications) {
  EXPECT_EQ(read(win(a), "AXNoSuchAttribute").error, AXError::attributeUnsupported);
  EXPECT_EQ(read(app(pid), ax::kPosition).error, AXError::attributeUnsupported);
  EXPECT_EQ(read(AXElement(), ax::kRole).error, AXError::illegalArgument);

  AXElement stale = win(a);
  world.closeWindow(a);
  EXPECT_EQ(read(stale, ax::kPosition).error, AXError::invalidUIElement);
  EXPECT_EQ(ax.setAttributeValue(stale, ax::kPosition, Point{0, 0}), AXError::invalidUIElement);
  EXPECT_EQ(ax.windowNumber(stale).error, AXError::invalidUIElement);
  // The process id of an element is known without asking the application.
  EXPECT_EQ(ax.pid(stale).value, pid);

  AXElement window = win(b);
  world.quitApp(pid);
  EXPECT_EQ(read(app(pid), ax::kWindows).error, AXError::cannotComplete);
  EXPECT_EQ(read(window, ax::kTitle).error, AXError::cannotComplete);
  EXPECT_EQ(read(app(9999), ax::kRole).error, AXError::cannotComplete);
}

TEST_F(SimAccessibilityTest, HandlesToOneWindowCompareAndHashEqual) {
  auto listed = asElements(*read(app(pid), ax::kWindows).value);
  ASSERT_EQ(listed->size(), 2u);
  EXPECT_EQ((*listed)[1], win(a));
  EXPECT_EQ((*listed)[1].hash(), win(a).hash());
  EXPECT_NE(win(a), win(b));
  EXPECT_NE(win(a), app(pid));
  EXPECT_EQ(app(pid), ax.applicationElement(pid));
  EXPECT_EQ(SimAccessibility::windowKey((*listed)[0]), b);
  EXPECT_EQ(SimAccessibility::windowKey(app(pid)), std::nullopt);
}

TEST_F(SimAccessibilityTest, SettabilityFollowsTheWindowAndTheAttribute) {
  world.editWindow(a, [](SimWindow& w) { w.sizeSettable = false; });
  EXPECT_EQ(ax.isAttributeSettable(win(a), ax::kPosition).value, true);
  EXPECT_EQ(ax.isAttributeSettable(win(a), ax::kSize).value, false);
  EXPECT_EQ(ax.isAttributeSettable(win(a), ax::kTitle).value, false);
  EXPECT_EQ(ax.isAttributeSettable(win(a), "AXNoSuchAttribute").error,
            AXError::attributeUnsupported);
  EXPECT_EQ(ax.isAttributeSettable(app(pid), ax::kFrontmost).value, true);
  EXPECT_EQ(ax.isAttributeSettable(app(pid), ax::kEnhancedUserInterface).value, true);
  EXPECT_EQ(ax.setAttributeValue(win(a), ax::kSize, Size{300, 300}), AXError::failure);
  EXPECT_EQ(frameOf(a).size, (Size{600, 400}));
}

TEST_F(SimAccessibilityTest, WritesMoveAndResizeWithinTheWindowsLimits) {
  world.editWindow(a, [](SimWindow& w) {
    w.minSize = {400, 300};
    w.maxSize = {1000, 700};
  });
  EXPECT_EQ(ax.setAttributeValue(win(a), ax::kPosition, Point{-550, 40}), AXError::success);
  EXPECT_EQ(frameOf(a).origin, (Point{-550, 40}));
  // Accepted, yet clamped: success means accepted, not done.
  EXPECT_EQ(ax.setAttributeValue(win(a), ax::kSize, Size{200, 100}), AXError::success);
  EXPECT_EQ(frameOf(a).size, (Size{400, 300}));
  EXPECT_EQ(ax.setAttributeValue(win(a), ax::kSize, Size{5000, 5000}), AXError::success);
  EXPECT_EQ(frameOf(a).size, (Size{1000, 700}));
  EXPECT_EQ(ax.setAttributeValue(win(a), ax::kSize, Point{1, 2}), AXError::illegalArgument);
  EXPECT_EQ(ax.setAttributeValue(win(a), ax::kTitle, std::string("x")), AXError::failure);
  EXPECT_EQ(ax.setAttributeValue(win(a), "AXNoSuchAttribute", true), AXError::attributeUnsupported);
}

TEST_F(SimAccessibilityTest, BehavioursShapeWhatWritesDo) {
  world.setBehaviour(pid, {.ignoresMoves = true, .sizeGrid = {10, 20}});
  EXPECT_EQ(ax.setAttributeValue(win(a), ax::kPosition, Point{5, 5}), AXError::success);
  EXPECT_EQ(frameOf(a).origin, (Point{100, 100}));
  EXPECT_EQ(ax.setAttributeValue(win(a), ax::kSize, Size{333, 333}), AXError::success);
  EXPECT_EQ(frameOf(a).size, (Size{330, 340}));

  // A window's own behaviour replaces its application's.
  world.setWindowBehaviour(b, Behaviour{});
  EXPECT_EQ(ax.setAttributeValue(win(b), ax::kPosition, Point{5, 5}), AXError::success);
  EXPECT_EQ(frameOf(b).origin, (Point{5, 5}));
}

TEST_F(SimAccessibilityTest, FaultsFailChosenCallsAChosenNumberOfTimes) {
  world.setBehaviour(
      pid, {.faults = {{.name = ax::kTitle,
                        .on = FaultOn::read,
                        .error = AXError::cannotComplete,
                        .remaining = 2},
                       {.name = ax::kPosition, .on = FaultOn::write, .error = AXError::failure},
                       {.name = "", .on = FaultOn::settable, .error = AXError::apiDisabled}}});
  EXPECT_EQ(read(win(a), ax::kTitle).error, AXError::cannotComplete);
  EXPECT_EQ(read(win(b), ax::kTitle).error, AXError::cannotComplete);
  EXPECT_EQ(asString(*read(win(a), ax::kTitle).value), "A");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ax.setAttributeValue(win(a), ax::kPosition, Point{1, 1}), AXError::failure);
  }
  EXPECT_EQ(frameOf(a).origin, (Point{100, 100}));
  // Reads of the same attribute are untouched by a write fault.
  EXPECT_TRUE(read(win(a), ax::kPosition).isOk());
  EXPECT_EQ(ax.isAttributeSettable(win(a), ax::kSize).error, AXError::apiDisabled);
  EXPECT_EQ(world.app(pid)->behaviour.faults[0].remaining, 0);
}

TEST_F(SimAccessibilityTest, EnhancedUserInterfaceIsReadAndWrittenOnTheApplication) {
  world.editApp(pid, [](SimApp& a) { a.enhancedUserInterface = true; });
  EXPECT_EQ(asBool(*read(app(pid), ax::kEnhancedUserInterface).value), true);
  EXPECT_EQ(ax.setAttributeValue(app(pid), ax::kEnhancedUserInterface, false), AXError::success);
  EXPECT_EQ(world.app(pid)->enhancedUserInterface, false);

  Pid plain = world.launchApp({.name = "Plain", .enhancedUserInterface = std::nullopt});
  EXPECT_EQ(read(app(plain), ax::kEnhancedUserInterface).error, AXError::attributeUnsupported);
  EXPECT_EQ(ax.setAttributeValue(app(plain), ax::kEnhancedUserInterface, true),
            AXError::attributeUnsupported);
}

TEST_F(SimAccessibilityTest, WindowNumbersAreDistinctZeroOrUnavailable) {
  auto na = ax.windowNumber(win(a));
  auto nb = ax.windowNumber(win(b));
  ASSERT_TRUE(na.isOk() && nb.isOk());
  EXPECT_NE(*na.value, 0u);
  EXPECT_NE(*na.value, *nb.value);
  EXPECT_EQ(world.windowWithNumber(*na.value), a);

  WindowKey unnumbered = world.openWindow(pid, {.title = "Tool", .number = 0});
  EXPECT_EQ(ax.windowNumber(win(unnumbered)).value, 0u);
  EXPECT_EQ(ax.windowNumber(app(pid)).error, AXError::illegalArgument);

  world.setWindowNumberLookup(false);
  EXPECT_FALSE(ax.hasWindowNumberLookup());
  EXPECT_EQ(ax.windowNumber(win(a)).error, AXError::notImplemented);
}

TEST_F(SimAccessibilityTest, TrustQueryPromptsOnlyWhenAskedAndNotTrusted) {
  EXPECT_TRUE(ax.isProcessTrusted(TrustPrompt::promptIfNeeded));
  EXPECT_EQ(world.trustPromptsShown(), 0);
  world.setTrusted(false);
  EXPECT_FALSE(ax.isProcessTrusted(TrustPrompt::none));
  EXPECT_EQ(world.trustPromptsShown(), 0);
  EXPECT_FALSE(ax.isProcessTrusted(TrustPrompt::promptIfNeeded));
  EXPECT_EQ(world.trustPromptsShown(), 1);
  world.setTrusted(true);
  EXPECT_TRUE(ax.isProcessTrusted(TrustPrompt::none));
}

TEST_F(SimAccessibilityTest, MainRaiseAndFrontmostMoveFocus) {
  Pid other = launch("Other");
  WindowKey c = open(other, "C");
  ASSERT_EQ(world.frontmostApp(), other);

  EXPECT_EQ(ax.setAttributeValue(win(a), ax::kMain, true), AXError::success);
  EXPECT_EQ(world.app(pid)->focusedWindow, a);
  // The application is still in the background.
  EXPECT_EQ(world.frontmostApp(), other);
  EXPECT_EQ(ax.setAttributeValue(app(pid), ax::kFrontmost, true), AXError::success);
  EXPECT_EQ(world.frontmostApp(), pid);
  EXPECT_EQ(world.focusedWindow(), a);

  EXPECT_EQ(ax.performAction(win(b), ax::kRaise), AXError::success);
  EXPECT_EQ(world.focusedWindow(), b);
  auto onScreen = windowServer.copyWindowInfo(window_list::kOnScreenWindows, 0);
  ASSERT_EQ(onScreen.size(), 3u);
  EXPECT_EQ(world.windowWithNumber(onScreen[0].number), b);
  EXPECT_EQ(world.windowWithNumber(onScreen[2].number), c);
  EXPECT_EQ(ax.performAction(win(b), "AXZoom"), AXError::actionUnsupported);
}

TEST_F(SimAccessibilityTest, SystemWideElementAnswersWithoutAnApplication) {
  auto focused = read(ax.systemWideElement(), "AXFocusedApplication");
  ASSERT_TRUE(focused.isOk());
  EXPECT_EQ(asElement(*focused.value), app(pid));
  EXPECT_EQ(ax.pid(ax.systemWideElement()).error, AXError::illegalArgument);
  EXPECT_EQ(ax.setMessagingTimeout(ax.systemWideElement(), -1), AXError::illegalArgument);
  EXPECT_EQ(ax.setMessagingTimeout(ax.systemWideElement(), 1.0), AXError::success);
}

}  // namespace
}  // namespace vistarail::sim::testing
