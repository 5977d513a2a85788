#include "windows/classification.h"

#include <gtest/gtest.h>

#include "desk.h"
#include "platform/ax_names.h"

namespace vistarail {
namespace {

using sim::Presence;
using test::Desk;

sim::Behaviour failing(const char* attribute, sim::FaultOn on = sim::FaultOn::read) {
  return {.faults = {{.name = attribute, .on = on, .error = AXError::cannotComplete}}};
}

// A standard window of an application, with both buttons and no document.
WindowClassification standardWindow() {
  WindowClassification c;
  c.role = ax::kWindowRole;
  c.subrole = ax::kStandardWindowSubrole;
  c.parentRole = ax::kApplicationRole;
  c.hasMinimizeButton = true;
  c.hasFullScreenButton = true;
  c.hasDocument = false;
  return c;
}

TEST(Classification, ReadsRolesParentOwnerAndTheThreePresences) {
  Desk desk;
  const sim::WindowKey main = desk.openKey({});
  const sim::WindowKey sheet = desk.openKey({.role = ax::kSheetRole, .subrole = std::nullopt});
  const AXElement child =
      desk.open({.parent = sheet, .owner = main, .document = Presence::present});
  EXPECT_EQ(readClassification(desk.ax, desk.ax.windowElement(main)), standardWindow());
  WindowClassification expected = standardWindow();
  expected.parentRole = ax::kSheetRole;
  expected.hasOwningWindow = true;
  expected.hasDocument = true;
  EXPECT_EQ(readClassification(desk.ax, child), expected);
  // Nothing readable: no role, not modal, no parent, unknown presences.
  const AXElement mute = desk.open({.behaviour = sim::Behaviour{.faults = {{.name = ""}}}});
  EXPECT_EQ(readClassification(desk.ax, mute), WindowClassification{});
}

TEST(Classification, AnyOneRuleMakesAWindowAuxiliary) {
  using Edit = void (*)(WindowClassification&);
  const std::pair<Edit, bool> cases[] = {
      {[](WindowClassification&) {}, false},
      {[](WindowClassification& c) { c.role.reset(); }, false},
      {[](WindowClassification& c) { c.role = ax::kSheetRole; }, true},
      {[](WindowClassification& c) { c.subrole.reset(); }, false},
      {[](WindowClassification& c) { c.subrole = ax::kDialogSubrole; }, true},
      {[](WindowClassification& c) { c.isModal = true; }, true},
      {[](WindowClassification& c) { c.hasOwningWindow = true; }, true},
      {[](WindowClassification& c) { c.parentRole.reset(); }, false},
      {[](WindowClassification& c) { c.parentRole = ax::kWindowRole; }, true},
      {[](WindowClassification& c) { c.parentRole = ax::kDrawerRole; }, true},
      // Neither button: a panel unless a document says otherwise or is unknown.
      {[](WindowClassification& c) { c.hasMinimizeButton = c.hasFullScreenButton = false; }, true},
      {[](WindowClassification& c) {
         c.hasMinimizeButton = c.hasFullScreenButton = false;
         c.hasDocument = true;
       },
       false},
      {[](WindowClassification& c) {
         c.hasMinimizeButton = c.hasFullScreenButton = false;
         c.hasDocument.reset();
       },
       false},
      {[](WindowClassification& c) { c.hasMinimizeButton = false; }, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    WindowClassification c = standardWindow();
    cases[i].first(c);
    EXPECT_EQ(c.isAuxiliary(), cases[i].second) << "case " << i;
  }
}

struct TileCase {
  const char* name;
  sim::WindowSetup setup;
  bool tiles;
  bool wasTileable = false;
  const char* parentRole = nullptr;  // opens a parent window with this role
  bool owned = false;                // another window owns it
};

TEST(Classification, WhichWindowsTile) {
  const Rect wide{40, 60, 800, 600};
  const TileCase cases[] = {
      {"standard", {.frame = wide}, true},
      {"150 wide", {.frame = {0, 0, 150, 400}}, false},
      {"160x100", {.frame = {0, 0, 160, 100}}, true},
      {"99 high", {.frame = {0, 0, 400, 99}}, false},
      {"size unreadable", {.frame = {0, 0, 150, 400}, .behaviour = failing(ax::kSize)}, true},
      {"no buttons, no document",
       {.frame = wide, .minimizeButton = Presence::absent, .fullScreenButton = Presence::absent},
       false},
      {"minimise button unreadable",
       {.frame = wide,
        .minimizeButton = Presence::error,
        .fullScreenButton = Presence::absent,
        .presenceError = AXError::cannotComplete},
       true},
      {"sheet", {.frame = wide, .role = ax::kSheetRole}, false},
      {"dialog", {.frame = wide, .subrole = ax::kDialogSubrole}, false},
      {"no subrole", {.frame = wide, .subrole = std::nullopt}, false},
      {"role unreadable", {.frame = wide, .behaviour = failing(ax::kRole)}, false},
      {"parent a sheet", {.frame = wide}, false, false, ax::kSheetRole},
      {"owned", {.frame = wide}, false, false, nullptr, true},
      {"modal", {.frame = wide, .modal = true}, false},
      {"position unsettable", {.frame = wide, .positionSettable = false}, false},
      {"size unsettable", {.frame = wide, .sizeSettable = false}, false},
      {"settability unknown",
       {.frame = wide, .behaviour = failing(ax::kSize, sim::FaultOn::settable)},
       false},
      {"was tileable, size unsettable", {.frame = wide, .sizeSettable = false}, true, true},
      {"was tileable, now 150 wide", {.frame = {0, 0, 150, 400}}, true, true},
      {"was tileable, role unreadable",
       {.frame = wide, .behaviour = failing(ax::kRole)},
       true,
       true},
      {"was tileable, now modal", {.frame = wide, .modal = true}, false, true},
  };
  Desk desk;
  for (const TileCase& c : cases) {
    sim::WindowSetup setup = c.setup;
    if (c.parentRole) setup.parent = desk.openKey({.role = c.parentRole});
    if (c.owned) setup.owner = desk.openKey({});
    EXPECT_EQ(isTileable(readWindowFacts(desk.ax, desk.open(setup), true), c.wasTileable,
                         std::nullopt),
              c.tiles)
        << c.name;
  }
}

}  // namespace
}  // namespace vistarail
