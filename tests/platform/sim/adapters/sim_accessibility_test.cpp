// Reads, writes, settability and actions of the simulated accessibility
// services, with the error codes callers turn into absent values and retries.

#include <gtest/gtest.h>

#include "platform/sim/world_fixture.h"

namespace vistarail::sim::test {
namespace {

class SimAccessibilityTest : public WorldTest {
 protected:
  SimAccessibilityTest() {
    pid = launch("Editor");
    a = open(pid, "A", {100, 100, 600, 400});
    b = open(pid, "B", {200, 150, 500, 300});
  }
  AXError set(const AXElement& element, const char* attribute, const AXValue& value) {
    return ax.setAttributeValue(element, attribute, value);
  }

  Pid pid = 0;
  WindowKey a = 0, b = 0;
};

TEST_F(SimAccessibilityTest, ApplicationElementListsItsWindowsFrontToBackAndItsFocus) {
  EXPECT_EQ(
      read(app(pid), {ax::kRole, ax::kTitle, ax::kWindows, ax::kFocusedWindow, ax::kFrontmost}),
      "AXApplication Editor [B,A] B true");
  Pid other = launch("Other", LaunchActivation::staysInBackground);
  EXPECT_EQ(read(app(other), {ax::kFocusedWindow, ax::kWindows, ax::kFrontmost}),
            "noValue [] false");
  EXPECT_EQ(read(ax.systemWideElement(), {ax::kFocusedApplication}), "Editor");

  // Handles to one window compare and hash equal however they were obtained.
  const auto listed = *asElements(*ax.copyAttributeValue(app(pid), ax::kWindows).value);
  EXPECT_EQ(listed[1], win(a));
  EXPECT_EQ(listed[1].hash(), win(a).hash());
  EXPECT_NE(win(a), win(b));
  EXPECT_NE(win(a), app(pid));
  EXPECT_EQ(SimAccessibility::windowKey(listed[0]), b);
  EXPECT_EQ(SimAccessibility::windowKey(app(pid)), std::nullopt);
}

TEST_F(SimAccessibilityTest, WindowAttributesReflectTheWorld) {
  world.editWindow(a, [](SimWindow& w) { w.modal = true; });
  EXPECT_EQ(read(win(a), {ax::kRole, ax::kSubrole, ax::kModal, ax::kTitle, ax::kPosition, ax::kSize,
                          ax::kFullScreen, ax::kMinimized, ax::kMain}),
            "AXWindow AXStandardWindow true A (100,100) 600x400 false false false");
  EXPECT_EQ(read(win(b), {ax::kMain, ax::kModal, ax::kDocument}), "true false noValue");
  // A plain window's parent is the application and its owning window itself;
  // a sheet's are the window it belongs to.
  EXPECT_EQ(read(win(a), {ax::kParent, ax::kWindow}), "Editor A");
  WindowKey sheet = openWith(
      pid, {.title = "Save", .role = ax::kSheetRole, .subrole = {}, .parent = a, .owner = a});
  EXPECT_EQ(read(win(sheet), {ax::kParent, ax::kWindow, ax::kRole, ax::kSubrole}),
            "A A AXSheet noValue");
}

TEST_F(SimAccessibilityTest, PresenceAttributesAreTriState) {
  world.editWindow(a, [](SimWindow& w) {
    w.minimizeButton = Presence::absent;
    w.fullScreenButton = Presence::error;
    w.presenceError = AXError::failure;
    w.document = Presence::present;
  });
  EXPECT_EQ(read(win(a), {ax::kMinimizeButton, ax::kFullScreenButton}), "noValue failure");
  EXPECT_TRUE(asString(*ax.copyAttributeValue(win(a), ax::kDocument).value));
  auto button = asElement(*ax.copyAttributeValue(win(b), ax::kMinimizeButton).value);
  ASSERT_TRUE(button);
  EXPECT_EQ(read(*button, {ax::kRole, ax::kWindow}), "AXButton B");
}

TEST_F(SimAccessibilityTest, ErrorsForMissingAttributesStaleElementsAndGoneApplications) {
  EXPECT_EQ(read(win(a), {"AXNoSuchAttribute"}), "attributeUnsupported");
  EXPECT_EQ(read(app(pid), {ax::kPosition}), "attributeUnsupported");
  EXPECT_EQ(read(AXElement(), {ax::kRole}), "illegalArgument");
  EXPECT_EQ(ax.pid(ax.systemWideElement()).error, AXError::illegalArgument);

  AXElement stale = win(a);
  world.closeWindow(a);
  EXPECT_EQ(read(stale, {ax::kPosition}), "invalidUIElement");
  EXPECT_EQ(set(stale, ax::kPosition, Point{0, 0}), AXError::invalidUIElement);
  EXPECT_EQ(ax.windowNumber(stale).error, AXError::invalidUIElement);
  EXPECT_EQ(ax.pid(stale).value, pid) << "known without asking the application";

  AXElement window = win(b);
  world.quitApp(pid);
  EXPECT_EQ(read(app(pid), {ax::kWindows}), "cannotComplete");
  EXPECT_EQ(read(window, {ax::kTitle}), "cannotComplete");
  EXPECT_EQ(read(app(9999), {ax::kRole}), "cannotComplete");
}

TEST_F(SimAccessibilityTest, SettabilityFollowsTheWindowAndTheAttribute) {
  world.editWindow(a, [](SimWindow& w) { w.sizeSettable = false; });
  const std::vector<std::tuple<AXElement, const char*, std::optional<bool>>> cases = {
      {win(a), ax::kPosition, true},    {win(a), ax::kSize, false},
      {win(a), ax::kTitle, false},      {win(a), "AXNoSuchAttribute", std::nullopt},
      {app(pid), ax::kFrontmost, true}, {app(pid), ax::kEnhancedUserInterface, true},
  };
  for (const auto& [element, attribute, settable] : cases) {
    const auto answer = ax.isAttributeSettable(element, attribute);
    EXPECT_EQ(answer.error, settable.has_value() ? AXError::success : AXError::attributeUnsupported)
        << attribute;
    EXPECT_EQ(answer.value, settable) << attribute;
  }
  EXPECT_EQ(set(win(a), ax::kSize, Size{300, 300}), AXError::failure);
  EXPECT_EQ(frame(a).size, (Size{600, 400}));
}

TEST_F(SimAccessibilityTest, WritesMoveAndResizeWithinTheWindowsLimits) {
  world.editWindow(a, [](SimWindow& w) {
    w.minSize = {400, 300};
    w.maxSize = {1000, 700};
  });
  EXPECT_EQ(set(win(a), ax::kPosition, Point{-550, 40}), AXError::success);
  EXPECT_EQ(frame(a).origin, (Point{-550, 40}));
  // Accepted, yet clamped: success means accepted, not done.
  EXPECT_EQ(set(win(a), ax::kSize, Size{200, 100}), AXError::success);
  EXPECT_EQ(frame(a).size, (Size{400, 300}));
  EXPECT_EQ(set(win(a), ax::kSize, Size{5000, 5000}), AXError::success);
  EXPECT_EQ(frame(a).size, (Size{1000, 700}));
  EXPECT_EQ(set(win(a), ax::kSize, Point{1, 2}), AXError::illegalArgument);
  EXPECT_EQ(set(win(a), ax::kTitle, std::string("x")), AXError::failure);
  EXPECT_EQ(set(win(a), "AXNoSuchAttribute", true), AXError::attributeUnsupported);
}

TEST_F(SimAccessibilityTest, BehavioursShapeWhatWritesDo) {
  world.setBehaviour(pid, {.ignoresMoves = true, .sizeGrid = {10, 20}});
  EXPECT_EQ(set(win(a), ax::kPosition, Point{5, 5}), AXError::success);
  EXPECT_EQ(set(win(a), ax::kSize, Size{333, 333}), AXError::success);
  EXPECT_EQ(frame(a), (Rect{100, 100, 330, 340}));
  // A window's own behaviour replaces its application's.
  world.setWindowBehaviour(b, Behaviour{});
  EXPECT_EQ(set(win(b), ax::kPosition, Point{5, 30}), AXError::success);
  EXPECT_EQ(frame(b).origin, (Point{5, 30}));
}

TEST_F(SimAccessibilityTest, TheWindowServerKeepsWindowsBelowTheMenuBarAndOnADisplay) {
  // Asked position and where the window (500 x 300) ends up on the 1440 x 900
  // display whose visible frame starts at y = 25.
  const std::pair<Point, Point> cases[] = {
      {{5, -50}, {5, 25}},          // under the menu bar
      {{1439, 300}, {1439, 300}},   // a parked window's one-point sliver stays
      {{1440, 300}, {1400, 300}},   // no sliver left: pulled back
      {{-500, 300}, {-460, 300}},   // the same on the left
      {{100, 900}, {100, 860}},     // below the display
      {{5000, -5000}, {1400, 25}},  // beyond a corner
  };
  for (const auto& [asked, landed] : cases) {
    EXPECT_EQ(set(win(b), ax::kPosition, asked), AXError::success);
    EXPECT_EQ(frame(b).origin, landed) << asked.x << ", " << asked.y;
    EXPECT_EQ(read(win(b), {ax::kPosition}), text(AXResult<AXValue>::ok(landed)));
  }
}

TEST_F(SimAccessibilityTest, FaultsFailChosenCallsAChosenNumberOfTimes) {
  world.setBehaviour(
      pid, {.faults = {{.name = ax::kTitle,
                        .on = FaultOn::read,
                        .error = AXError::cannotComplete,
                        .remaining = 2},
                       {.name = ax::kPosition, .on = FaultOn::write, .error = AXError::failure},
                       {.name = "", .on = FaultOn::settable, .error = AXError::apiDisabled}}});
  // Two failures in all, whichever window is asked.
  const std::string first = read(win(a), {ax::kTitle});
  EXPECT_EQ(first + " " + read(win(b), {ax::kTitle, ax::kTitle}),
            "cannotComplete cannotComplete B");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(set(win(a), ax::kPosition, Point{1, 1}), AXError::failure);
  }
  // Reads of the same attribute are untouched by a write fault.
  EXPECT_EQ(read(win(a), {ax::kPosition}), "(100,100)");
  EXPECT_EQ(ax.isAttributeSettable(win(a), ax::kSize).error, AXError::apiDisabled);
  EXPECT_EQ(world.app(pid)->behaviour.faults[0].remaining, 0);
}

TEST_F(SimAccessibilityTest, EnhancedUserInterfaceIsReadAndWrittenOnTheApplication) {
  world.editApp(pid, [](SimApp& a) { a.enhancedUserInterface = true; });
  EXPECT_EQ(read(app(pid), {ax::kEnhancedUserInterface}), "true");
  EXPECT_EQ(set(app(pid), ax::kEnhancedUserInterface, false), AXError::success);
  EXPECT_EQ(world.app(pid)->enhancedUserInterface, false);

  Pid plain = world.launchApp({.name = "Plain", .enhancedUserInterface = std::nullopt});
  EXPECT_EQ(read(app(plain), {ax::kEnhancedUserInterface}), "attributeUnsupported");
  EXPECT_EQ(set(app(plain), ax::kEnhancedUserInterface, true), AXError::attributeUnsupported);
}

TEST_F(SimAccessibilityTest, WindowNumbersAreDistinctZeroOrUnavailable) {
  auto na = ax.windowNumber(win(a)), nb = ax.windowNumber(win(b));
  ASSERT_TRUE(na.isOk() && nb.isOk());
  EXPECT_NE(*na.value, 0u);
  EXPECT_NE(*na.value, *nb.value);
  EXPECT_EQ(world.windowWithNumber(*na.value), a);

  WindowKey unnumbered = openWith(pid, {.title = "Tool", .number = 0});
  EXPECT_EQ(ax.windowNumber(win(unnumbered)).value, 0u);
  EXPECT_EQ(ax.windowNumber(app(pid)).error, AXError::illegalArgument);

  world.setWindowNumberLookup(false);
  EXPECT_FALSE(ax.hasWindowNumberLookup());
  EXPECT_EQ(ax.windowNumber(win(a)).error, AXError::notImplemented);
}

TEST_F(SimAccessibilityTest, TrustQueryPromptsOnlyWhenAskedAndNotTrusted) {
  EXPECT_TRUE(ax.isProcessTrusted(TrustPrompt::promptIfNeeded));
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

  EXPECT_EQ(set(win(a), ax::kMain, true), AXError::success);
  EXPECT_EQ(world.app(pid)->focusedWindow, a);
  EXPECT_EQ(world.frontmostApp(), other) << "the application is still in the background";
  EXPECT_EQ(set(app(pid), ax::kFrontmost, true), AXError::success);
  EXPECT_EQ(world.frontmostApp(), pid);
  EXPECT_EQ(world.focusedWindow(), a);

  EXPECT_EQ(ax.performAction(win(b), ax::kRaise), AXError::success);
  EXPECT_EQ(world.focusedWindow(), b);
  EXPECT_EQ(onScreen(), (std::vector<WindowKey>{b, a, c}));
  EXPECT_EQ(ax.performAction(win(b), "AXZoom"), AXError::actionUnsupported);
}

}  // namespace
}  // namespace vistarail::sim::test
