// Commands on the simulated desktop: focus, moves, stacks, widths, floating,
// the display a command goes to, and the minimap.

#include <cmath>
#include <map>

#include "manager_scene.h"

namespace vistarail::test {
namespace {

// Windows opened in order as a, b, c, ... on the main display, each taking
// the focus, so the last one ends up focused.
struct Desktop {
  ManagerScene scene;
  Pid editor = 0;
  std::vector<sim::WindowKey> keys;

  explicit Desktop(int windows, double newWindowWidth = 0.5, Size minSize = {}) {
    scene.defaults.set("newWindowWidth", PropertyList(newWindowWidth));
    editor = scene.launch("Editor");
    scene.startManager();
    for (int i = 0; i < windows; ++i) {
      sim::WindowSetup setup;
      setup.minSize = minSize;
      keys.push_back(scene.open(editor, {100.0 + 40 * i, 100, 600, 400}, setup));
      scene.run(1.0);
    }
    scene.run(1.0);
  }

  char letter(WindowId id) const {
    for (size_t i = 0; i < keys.size(); ++i) {
      if (scene.number(keys[i]) == id) return static_cast<char>('a' + i);
    }
    return '?';
  }
  // The strip in letters: "[a] *[b c]".
  std::string describe(size_t display = 0) const {
    const Strip* strip = scene.strip(display);
    if (!strip) return "(none)";
    std::string text;
    for (int c = 0; c < strip->count(); ++c) {
      if (!text.empty()) text += " ";
      if (c == strip->focusedIndex) text += "*";
      text += "[";
      for (size_t w = 0; w < strip->columns[c].windows.size(); ++w) {
        text += std::string(w ? " " : "") + letter(strip->columns[c].windows[w]);
      }
      text += "]";
    }
    return text;
  }
  char focused() const {
    auto key = scene.world.focusedWindow();
    return key ? letter(scene.number(*key)) : '-';
  }
  void perform(const std::vector<Action>& actions) {
    for (Action action : actions) {
      scene.manager->perform(action);
      scene.run(1.0);
    }
  }
  const Column& focusedColumn() const { return *scene.strip()->focusedColumn(); }
};

TEST(Commands, FocusMoveAndStackKeepTheStripInShape) {
  struct Row {
    const char* name;
    std::vector<Action> actions;
    std::string strip;
    char focused;
  };
  using enum Action;
  const Row rows[] = {
      {"focus right at the end re-focuses the last", {focusRight}, "[a] [b] *[c]", 'c'},
      {"focus left at the start stays", {focusFirst, focusLeft}, "*[a] [b] [c]", 'a'},
      {"focus left", {focusLeft}, "[a] *[b] [c]", 'b'},
      {"column 9 of three is the last", {focusFirst, focusColumn9}, "[a] [b] *[c]", 'c'},
      {"column 2", {focusColumn2}, "[a] *[b] [c]", 'b'},
      {"move left on the first changes nothing", {focusFirst, moveLeft}, "*[a] [b] [c]", 'a'},
      {"move to first", {moveToFirst}, "*[c] [a] [b]", 'c'},
      {"move left then to last", {moveLeft, focusFirst, moveToLast}, "[c] [b] *[a]", 'a'},
      {"stack into left", {stackIntoLeft}, "[a] *[b c]", 'c'},
      {"stack into left on the first does nothing",
       {focusFirst, stackIntoLeft},
       "*[a] [b] [c]",
       'a'},
      {"focus up in a stack", {stackIntoLeft, focusUp}, "[a] *[b c]", 'b'},
      {"focus up at the top stays", {stackIntoLeft, focusUp, focusUp}, "[a] *[b c]", 'b'},
      {"focus down back", {stackIntoLeft, focusUp, focusDown}, "[a] *[b c]", 'c'},
      {"move up in a stack", {stackIntoLeft, moveUp}, "[a] *[c b]", 'c'},
      {"move down at the bottom stays", {stackIntoLeft, moveDown}, "[a] *[b c]", 'c'},
      {"pop out the active window", {stackIntoLeft, focusUp, popOut}, "[a] [c] *[b]", 'b'},
      {"pop out of a single column", {popOut}, "[a] [b] *[c]", 'c'},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Desktop desk(3);
    ASSERT_EQ(desk.describe(), "[a] [b] *[c]");
    desk.scene.world.clearCalls();
    desk.perform(row.actions);
    EXPECT_EQ(desk.describe(), row.strip);
    EXPECT_EQ(desk.focused(), row.focused);
    EXPECT_TRUE(desk.scene.strip()->verifyInvariants());
  }

  // At the end of the strip the command still asks for the focus, so a
  // window that lost it to a click elsewhere in its application gets it back.
  Desktop desk(3);
  desk.scene.world.clearCalls();
  desk.perform({focusRight});
  bool asked = false;
  for (const auto& call : desk.scene.world.calls(desk.editor)) {
    asked |= call.window == desk.keys[2] && call.kind == sim::AXCallKind::setAttribute &&
             call.name == ax::kMain;
  }
  EXPECT_TRUE(asked);

  // Centring scrolls the 708-point column b from the left edge (x 8) to the
  // middle of the 1440-point area.
  desk.perform({focusLeft});
  ASSERT_EQ(desk.scene.frame(desk.keys[1]).origin.x, 8);
  desk.perform({center});
  EXPECT_EQ(desk.scene.frame(desk.keys[1]).origin.x, 366);
  EXPECT_EQ(desk.describe(), "[a] *[b] [c]");
}

TEST(Commands, WidthsStepThroughPresetsAndClamp) {
  struct Row {
    const char* name;
    double start;
    std::vector<Action> actions;
    double proportion;
    std::optional<double> beforeFullWidth;
  };
  using enum Action;
  const Row rows[] = {
      {"cycle from a half", 0.5, {cycleWidth}, 2.0 / 3, std::nullopt},
      {"cycle wraps from the last preset", 0.755, {cycleWidth}, 0.25, std::nullopt},
      {"cycle back wraps from the first", 0.25, {cycleWidthBack}, 0.75, std::nullopt},
      {"widen stops at full", 0.98, {widen}, 1.0, std::nullopt},
      {"narrow stops at a tenth", 0.12, {narrow}, 0.1, std::nullopt},
      {"full width", 0.5, {fullWidth}, 1.0, 0.5},
      {"full width twice returns", 0.5, {cycleWidth, fullWidth, fullWidth}, 2.0 / 3, std::nullopt},
      {"narrowing keeps the width to return to", 0.5, {fullWidth, narrow}, 0.95, 0.5},
      {"full from narrowed full width", 0.5, {fullWidth, narrow, fullWidth}, 1.0, 0.95},
      {"full width at full without memory", 1.0, {fullWidth}, 1.0, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Desktop desk(1, row.start);
    ASSERT_NEAR(desk.focusedColumn().proportion, row.start, 1e-9);
    desk.perform(row.actions);
    EXPECT_NEAR(desk.focusedColumn().proportion, row.proportion, 1e-9);
    EXPECT_NEAR(desk.focusedColumn().proportionBeforeFullWidth.value_or(-1),
                row.beforeFullWidth.value_or(-1), 1e-9);
  }

  // Leaving full width without a remembered width falls back to the width
  // new windows get.
  Desktop desk(1, 1.0);
  desk.scene.settings->newWindowWidth.set(0.4);
  desk.scene.run(1.0);
  desk.perform({Action::fullWidth});
  EXPECT_NEAR(desk.focusedColumn().proportion, 0.4, 1e-9);
}

TEST(Commands, StackingShedsWindowsThatCannotShareTheHeight) {
  // Windows of at least 400 points: two fit the 859 usable points, three do not.
  Desktop desk(3, 0.5, {300, 400});
  desk.perform({Action::focusColumn2, Action::stackIntoLeft});
  EXPECT_EQ(desk.describe(), "*[a b] [c]");

  // Nothing is known of their minimums yet, so the third one stacks; the
  // windows then refuse to shrink, the manager learns their heights and
  // sheds the bottom one.
  desk.perform({Action::focusRight});
  desk.scene.manager->perform(Action::stackIntoLeft);
  EXPECT_EQ(desk.describe(), "*[a b c]");
  desk.scene.run(1.0);
  EXPECT_EQ(desk.describe(), "[a b] *[c]");
  const auto& minHeights = desk.scene.strip()->minHeights;
  EXPECT_TRUE(minHeights.contains(desk.scene.number(desk.keys[0])));
  EXPECT_TRUE(minHeights.contains(desk.scene.number(desk.keys[1])));

  // With the minimums known, stacking sheds it at once.
  desk.scene.manager->perform(Action::stackIntoLeft);
  EXPECT_EQ(desk.describe(), "[a b] *[c]");
  desk.scene.run(1.0);
  EXPECT_EQ(desk.describe(), "[a b] *[c]");
}

TEST(Commands, FloatingTakesAWindowOutCentredAndBringsItBack) {
  Desktop desk(2);
  const sim::WindowKey b = desk.keys[1];
  const WindowId id = desk.scene.number(b);
  desk.perform({Action::toggleFloat});
  EXPECT_EQ(desk.describe(), "*[a]");
  // 60 % by 70 % of the 1440 x 875 area, centred and out to whole points.
  EXPECT_EQ(desk.scene.frame(b), Rect(288, 156, 864, 613));
  desk.scene.run(3.0);
  EXPECT_EQ(desk.describe(), "*[a]");
  EXPECT_FALSE(desk.scene.manager->isParked(id));

  desk.perform({Action::toggleFloat});
  desk.scene.run(1.0);
  EXPECT_TRUE(desk.scene.strip()->contains(id));

  // Retiling returns every floated window as well.
  desk.perform({Action::toggleFloat});
  EXPECT_FALSE(desk.scene.strip()->contains(id));
  desk.perform({Action::retile});
  EXPECT_TRUE(desk.scene.strip()->contains(id));
}

TEST(Commands, GoToTheFocusedWindowsDisplayOrTheOneUnderThePointer) {
  Desktop desk(0);
  ManagerScene& scene = desk.scene;
  scene.world.plugDisplay({.name = "Right", .frame = kRightFrame, .visibleFrame = kRightVisible});
  scene.run(1.0);
  scene.settings->managedDisplayIDs.set({scene.displayID(0), scene.displayID(1)});
  scene.run(1.0);
  for (Rect frame : {Rect{100, 100, 600, 400}, Rect{200, 100, 600, 400}, Rect{1600, 100, 600, 400},
                     Rect{1700, 100, 600, 400}}) {
    desk.keys.push_back(scene.open(desk.editor, frame));
    scene.run(1.0);
  }
  ASSERT_EQ(desk.describe(0), "[a] *[b]");
  ASSERT_EQ(desk.describe(1), "[c] *[d]");

  // The focused window's display wins over the pointer.
  scene.world.movePointer({300, 300});
  desk.perform({Action::focusFirst});
  EXPECT_EQ(desk.describe(0), "[a] *[b]");
  EXPECT_EQ(desk.describe(1), "*[c] [d]");

  // Another application in front: the pointer decides.
  scene.launch("Other");
  scene.run(1.0);
  scene.world.movePointer({1800, 300});
  desk.perform({Action::focusLast});
  EXPECT_EQ(desk.describe(0), "[a] *[b]");
  EXPECT_EQ(desk.describe(1), "[c] *[d]");

  // Paused, nothing moves; the pause command itself still works.
  desk.perform({Action::togglePause});
  EXPECT_FALSE(scene.settings->enabled.value());
  desk.perform({Action::focusFirst, Action::moveToLast});
  EXPECT_EQ(desk.describe(0), "[a] *[b]");
  EXPECT_EQ(desk.describe(1), "[c] *[d]");
  desk.perform({Action::togglePause});
  EXPECT_TRUE(scene.settings->enabled.value());
  desk.perform({Action::focusFirst});
  EXPECT_EQ(desk.describe(1), "*[c] [d]");
}

TEST(Commands, MinimapClicksFocusAndDropsReorder) {
  Desktop desk(3);
  ManagerScene& scene = desk.scene;
  const auto id = [&](int i) { return scene.number(desk.keys[i]); };
  desk.perform({Action::stackIntoLeft});
  ASSERT_EQ(desk.describe(), "[a] *[b c]");

  scene.manager->onMinimapClick(id(1), scene.displayID());
  scene.run(1.0);
  EXPECT_EQ(desk.describe(), "[a] *[b c]");
  EXPECT_EQ(desk.focused(), 'b');
  scene.manager->onMinimapClick(id(0), scene.displayID());
  scene.run(1.0);
  EXPECT_EQ(desk.describe(), "*[a] [b c]");
  EXPECT_EQ(desk.focused(), 'a');

  // Dropping c's column before a's moves it and focuses c.
  scene.manager->onMinimapReorder(id(2), {id(0), false}, scene.displayID());
  scene.run(1.0);
  EXPECT_EQ(desk.describe(), "*[b c] [a]");
  EXPECT_EQ(desk.focused(), 'c');
  // A drop where it already is changes nothing.
  scene.manager->onMinimapReorder(id(2), {id(0), false}, scene.displayID());
  scene.run(1.0);
  EXPECT_EQ(desk.describe(), "*[b c] [a]");
  EXPECT_EQ(desk.focused(), 'c');
}

}  // namespace
}  // namespace vistarail::test
