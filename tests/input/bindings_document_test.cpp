#include "input/bindings_document.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(BindingsDocument, NoDataGivesTheDefaults) {
  EXPECT_EQ(bindingsFromStoredData(std::nullopt), defaultBindings());
}

TEST(BindingsDocument, AnActionStoredEmptyStaysWithoutShortcuts) {
  const Bindings loaded = load(R"({"focusLeft":[]})");
  Bindings expected = defaultBindings();
  expected[Action::focusLeft] = {};
  EXPECT_EQ(loaded, expected);
}

TEST(BindingsDocument, MissingActionsGetDefaultsNotTakenByTheDocument) {
  const Bindings loaded = load(R"({"moveLeft":[{"keyCode":123,"modifiers":6144}]})");
  EXPECT_EQ(loaded.at(Action::moveLeft), (Combos{{123, 6144}}));
  EXPECT_EQ(loaded.at(Action::focusLeft), (Combos{{4, 6144}}));
  EXPECT_EQ(loaded.at(Action::focusRight), (Combos{{124, 6144}, {37, 6144}}));
  EXPECT_EQ(loaded.size(), kActionCount);
}

TEST(BindingsDocument, AnActionNewerThanTheDocumentCanEndUpEmpty) {
  // Written before toggleCarousel existed, with its default shortcut in use.
  const Bindings loaded = load(R"({"retile":[{"keyCode":1,"modifiers":6144}]})");
  EXPECT_EQ(loaded.at(Action::toggleCarousel), Combos{});
  EXPECT_EQ(loaded.at(Action::retile), (Combos{{1, 6144}}));
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

TEST(BindingsDocument, UndecodableDataGivesTheDefaults) {
  const std::string invalidUtf8 = "{\"focusLeft\":[],\"\xff\":[]}";
  for (const std::string& document : {
           std::string(""),
           std::string("null"),
           std::string("[]"),
           std::string("\"focusLeft\""),
           std::string(R"({"focusLeft":[)"),
           std::string(R"({"focusLeft":{}})"),
           std::string(R"({"focusLeft":[{"keyCode":4}]})"),
           std::string(R"({"focusLeft":[{"keyCode":-4,"modifiers":0}]})"),
           std::string(R"({"focusLeft":[null]})"),
           invalidUtf8,
           std::string(R"({"focusLeft":[]} trailing)"),
       }) {
    EXPECT_EQ(decodeBindingsDocument(bytes(document)), std::nullopt) << document;
    EXPECT_EQ(load(document), defaultBindings()) << document;
  }
}

TEST(BindingsDocument, OversizedDataIsNotRead) {
  std::string document = R"({"focusLeft":[],"pad":")";
  document += std::string(kMaxBindingsDocumentBytes, 'x') + "\"}";
  EXPECT_EQ(decodeBindingsDocument(bytes(document)), std::nullopt);
}

TEST(BindingsDocument, EncodesCompactlyInActionOrder) {
  const Bindings bindings = {{Action::toggleCarousel, {{1, 6144}}},
                             {Action::focusLeft, {{123, 6144}, {4, 6144}}},
                             {Action::center, {}}};
  const auto encoded = encodeBindingsDocument(bindings);
  ASSERT_TRUE(encoded);
  EXPECT_EQ(text(*encoded),
            R"({"focusLeft":[{"keyCode":123,"modifiers":6144},{"keyCode":4,"modifiers":6144}],)"
            R"("center":[],"toggleCarousel":[{"keyCode":1,"modifiers":6144}]})");
  EXPECT_EQ(decodeBindingsDocument(*encoded), bindings);
}

TEST(BindingsDocument, DefaultsSurviveARoundTrip) {
  const auto encoded = encodeBindingsDocument(defaultBindings());
  ASSERT_TRUE(encoded);
  EXPECT_EQ(bindingsFromStoredData(*encoded), defaultBindings());
}

}  // namespace
}  // namespace vistarail
