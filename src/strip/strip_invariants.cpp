#include "strip/strip.h"

#include <cmath>
#include <sstream>
#include <unordered_set>

namespace vistarail {

namespace {

bool fail(std::string* why, const std::string& message) {
  if (why) *why = message;
  return false;
}

}  // namespace

bool Strip::verifyInvariants(std::string* why) const {
  const int n = count();
  if (n == 0 && focusedIndex != 0) {
    return fail(why, "empty strip with focusedIndex " + std::to_string(focusedIndex));
  }
  if (n > 0 && (focusedIndex < 0 || focusedIndex >= n)) {
    return fail(why, "focusedIndex " + std::to_string(focusedIndex) + " outside 0..." +
                         std::to_string(n - 1));
  }
  std::unordered_set<WindowId> windows;
  std::unordered_set<ColumnId> ids;
  for (int i = 0; i < n; ++i) {
    const Column& column = columns[i];
    const std::string where = "column " + std::to_string(i);
    if (column.windows.empty()) return fail(why, where + " is empty");
    if (!ids.insert(column.id()).second) {
      return fail(why, where + " repeats column id " + std::to_string(column.id()));
    }
    if (column.activeIndex < 0 || column.activeIndex >= column.count()) {
      return fail(why, where + " has activeIndex " + std::to_string(column.activeIndex) + " with " +
                           std::to_string(column.count()) + " windows");
    }
    if (!std::isfinite(column.proportion)) {
      std::ostringstream message;
      message << where << " has proportion " << column.proportion;
      return fail(why, message.str());
    }
    for (WindowId window : column.windows) {
      if (!windows.insert(window).second) {
        return fail(why,
                    "window " + std::to_string(window) + " occurs twice (again in " + where + ")");
      }
    }
  }
  return true;
}

}  // namespace vistarail
