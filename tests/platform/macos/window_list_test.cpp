// The window list as the window server hands it over, read into the port's
// records: what a list with missing, odd or hostile entries gives.

#include <gtest/gtest.h>

#include <vector>

#include "platform/macos/window_list.h"

namespace vistarail::macos {
namespace {

PropertyList entry(PropertyList number, PropertyList pid) {
  return {{"kCGWindowNumber", std::move(number)},
          {"kCGWindowOwnerPID", std::move(pid)},
          {"kCGWindowOwnerName", "Mail"},
          {"kCGWindowName", "Inbox"},
          {"kCGWindowLayer", 0},
          {"kCGWindowIsOnscreen", true},
          {"kCGWindowBounds", {{"X", -1440}, {"Y", 25}, {"Width", 800}, {"Height", 600.5}}}};
}

TEST(MacWindowList, ReadsEveryFieldTheProgramUses) {
  const auto infos = windowInfosFromList(PropertyList::array({entry(812, 501)}));
  ASSERT_EQ(infos.size(), 1u);
  const WindowInfo expected{812, 501, "Mail", "Inbox", Rect(-1440, 25, 800, 600.5), 0, true};
  EXPECT_EQ(infos[0], expected);
}

TEST(MacWindowList, EntriesWithoutAUsableNumberOrOwnerAreLeftOut) {
  PropertyList list = PropertyList::array();
  list.push_back(entry(1, 10));                             // kept
  list.push_back(entry(0, 10));                             // window 0 names no window
  list.push_back(entry(-5, 10));                            // negative
  list.push_back(entry(int64_t{1} << 32, 10));              // beyond 32 bits, would wrap
  list.push_back(entry("812", 10));                         // a string is not a number
  list.push_back(entry(2, int64_t{1} << 31));               // pid beyond its range
  list.push_back(entry(3, -1));                             // no process
  list.push_back(PropertyList{{"kCGWindowOwnerPID", 10}});  // no number at all
  list.push_back("not a dictionary");
  list.push_back(entry(4294967295.0, 11));  // largest number, as floating point
  const auto infos = windowInfosFromList(list);
  ASSERT_EQ(infos.size(), 2u);
  EXPECT_EQ(infos[0].number, 1u);
  EXPECT_EQ(infos[1].number, 4294967295u);
  EXPECT_EQ(infos[1].ownerPid, 11);
}

TEST(MacWindowList, MissingOptionalFieldsReadAsEmptyOrOff) {
  // Without screen-recording permission the names are absent; the on-screen
  // flag is absent for windows that are not on screen.
  const PropertyList bare = {{"kCGWindowNumber", 9}, {"kCGWindowOwnerPID", 77}};
  const auto infos = windowInfosFromList(PropertyList::array({bare}));
  ASSERT_EQ(infos.size(), 1u);
  EXPECT_EQ(infos[0].name, "");
  EXPECT_EQ(infos[0].ownerName, "");
  EXPECT_FALSE(infos[0].isOnScreen);
  EXPECT_EQ(infos[0].bounds, Rect());

  PropertyList numericFlag = bare;
  numericFlag["kCGWindowIsOnscreen"] = 1;
  numericFlag["kCGWindowLayer"] = 25;
  numericFlag["kCGWindowBounds"] = {{"X", 10}, {"Width", "wide"}};
  const auto flagged = windowInfosFromList(PropertyList::array({numericFlag}));
  ASSERT_EQ(flagged.size(), 1u);
  EXPECT_TRUE(flagged[0].isOnScreen);
  EXPECT_EQ(flagged[0].layer, 25);
  EXPECT_EQ(flagged[0].bounds, Rect(10, 0, 0, 0));
}

TEST(MacWindowList, SomethingOtherThanAListHasNoWindows) {
  EXPECT_TRUE(windowInfosFromList(PropertyList()).empty());
  EXPECT_TRUE(windowInfosFromList(PropertyList::object()).empty());
  EXPECT_TRUE(windowInfosFromList(PropertyList::array()).empty());
}

}  // namespace
}  // namespace vistarail::macos
