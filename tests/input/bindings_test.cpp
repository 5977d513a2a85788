// The shortcut table: its defaults, editing it, and the stored document.

#include <gtest/gtest.h>

#include <string>

#include "input/bindings.h"
#include "input/bindings_document.h"

namespace vistarail {
namespace {

using Combos = std::vector<KeyCombo>;

std::vector<uint8_t> bytes(const std::string& text) {
  return {text.begin(), text.end()};
}
std::string text(const std::vector<uint8_t>& data) {
  return {data.begin(), data.end()};
}
Bindings load(const std::string& document) {
  return bindingsFromStoredData(bytes(document));
}

TEST(Bindings, AssigningMovesTheComboToTheEndOfTheTargetWithoutDuplicates) {
  Bindings bindings = defaultBindings();
  assignCombo(bindings, {123, 6144}, Action::moveLeft);
  EXPECT_EQ(bindings.at(Action::focusLeft), (Combos{{4, 6144}}));
  EXPECT_EQ(bindings.at(Action::moveLeft), (Combos{{123, 6656}, {4, 6656}, {123, 6144}}));
  EXPECT_EQ(actionForCombo(bindings, {123, 6144}), Action::moveLeft);

  bindings = {{Action::center, {{8, 6144}, {9, 6144}, {8, 6144}}}};
  assignCombo(bindings, {8, 6144}, Action::center);
  EXPECT_EQ(bindings.at(Action::center), (Combos{{9, 6144}, {8, 6144}}));
  assignCombo(bindings, {96, 0}, Action::togglePause);  // creates the missing entry
  EXPECT_EQ(bindings.at(Action::togglePause), (Combos{{96, 0}}));
}

TEST(Bindings, RemovingTouchesOnlyThatActionAndKeepsAnEmptyEntry) {
  Bindings bindings = {{Action::center, {{8, 6144}}}, {Action::widen, {{8, 6144}}}};
  removeCombo(bindings, {8, 6144}, Action::center);
  EXPECT_EQ(bindings.at(Action::center), Combos{});
  EXPECT_EQ(bindings.at(Action::widen), (Combos{{8, 6144}}));
  removeCombo(bindings, {8, 6144}, Action::narrow);  // no entry: nothing happens
  EXPECT_FALSE(bindings.contains(Action::narrow));
}

TEST(BindingsDocument, MissingActionsGetDefaultsNotTakenByTheDocumentAndEmptyOnesStayEmpty) {
  Bindings expected = defaultBindings();
  expected[Action::focusLeft] = {};
  EXPECT_EQ(load(R"({"focusLeft":[]})"), expected);
  const Bindings loaded = load(R"({"moveLeft":[{"keyCode":123,"modifiers":6144}]})");
  EXPECT_EQ(loaded.at(Action::moveLeft), (Combos{{123, 6144}}));
  EXPECT_EQ(loaded.at(Action::focusLeft), (Combos{{4, 6144}}));
  EXPECT_EQ(loaded.at(Action::focusRight), (Combos{{124, 6144}, {37, 6144}}));
  EXPECT_EQ(loaded.size(), kActionCount);
  // Written before toggleCarousel existed, with its default shortcut in use.
  const Bindings older = load(R"({"retile":[{"keyCode":1,"modifiers":6144}]})");
  EXPECT_EQ(older.at(Action::toggleCarousel), Combos{});
  EXPECT_EQ(older.at(Action::retile), (Combos{{1, 6144}}));
}

TEST(BindingsDocument, StoredListsKeepTheirOrderAndDuplicatesAcrossActions) {
  // Not something the editor writes, but a stored document is taken as it is.
  const Bindings loaded =
      load(R"({"center":[{"keyCode":9,"modifiers":0},{"keyCode":8,"modifiers":6144}],)"
           R"("widen":[{"keyCode":9,"modifiers":0}]})");
  EXPECT_EQ(loaded.at(Action::center), (Combos{{9, 0}, {8, 6144}}));
  EXPECT_EQ(loaded.at(Action::widen), (Combos{{9, 0}}));
}

TEST(BindingsDocument, UnknownMembersAreSkippedWhateverTheyHoldAndNotSavedAgain) {
  const Bindings loaded = load(R"({"focusLeft":[{"keyCode":4,"modifiers":6144}],)"
                               R"("zoomIn":[{"keyCode":115,"modifiers":6144}],)"
                               R"("layoutProfiles":{"work":[1,2,3]}})");
  EXPECT_EQ(loaded.at(Action::focusLeft), (Combos{{4, 6144}}));
  // The unknown member's combo is no action's, so the default holding it stays.
  EXPECT_EQ(loaded.at(Action::focusFirst), (Combos{{115, 6144}}));
  const auto saved = encodeBindingsDocument(loaded);
  ASSERT_TRUE(saved);
  EXPECT_EQ(text(*saved).find("zoomIn"), std::string::npos);
  EXPECT_EQ(text(*saved).find("layoutProfiles"), std::string::npos);
}

TEST(BindingsDocument, NoOrUndecodableOrOversizedDataGivesTheDefaults) {
  EXPECT_EQ(bindingsFromStoredData(std::nullopt), defaultBindings());
  std::string oversized = R"({"focusLeft":[],"pad":")";
  oversized += std::string(kMaxBindingsDocumentBytes, 'x') + "\"}";
  for (const std::string& document : std::vector<std::string>{
           "", "null", "[]", "\"focusLeft\"", R"({"focusLeft":[)", R"({"focusLeft":{}})",
           R"({"focusLeft":[{"keyCode":4}]})", R"({"focusLeft":[{"keyCode":-4,"modifiers":0}]})",
           R"({"focusLeft":[null]})", "{\"focusLeft\":[],\"\xff\":[]}" /* not UTF-8 */,
           R"({"focusLeft":[]} trailing)", oversized}) {
    EXPECT_EQ(decodeBindingsDocument(bytes(document)), std::nullopt) << document.substr(0, 40);
    EXPECT_EQ(load(document), defaultBindings()) << document.substr(0, 40);
  }
}

TEST(BindingsDocument, EncodesCompactlyInActionOrderAndRoundTrips) {
  const Bindings bindings = {{Action::toggleCarousel, {{1, 6144}}},
                             {Action::focusLeft, {{123, 6144}, {4, 6144}}},
                             {Action::center, {}}};
  const auto encoded = encodeBindingsDocument(bindings);
  ASSERT_TRUE(encoded);
  EXPECT_EQ(text(*encoded),
            R"({"focusLeft":[{"keyCode":123,"modifiers":6144},{"keyCode":4,"modifiers":6144}],)"
            R"("center":[],"toggleCarousel":[{"keyCode":1,"modifiers":6144}]})");
  EXPECT_EQ(decodeBindingsDocument(*encoded), bindings);
  EXPECT_EQ(bindingsFromStoredData(encodeBindingsDocument(defaultBindings())), defaultBindings());
}

}  // namespace
}  // namespace vistarail
