#pragma once
// Modal alerts: a message, an informative text and buttons (one "OK" when
// none are given). Running one blocks until the user answers.

#include <string>
#include <vector>

namespace vistarail {

inline constexpr int kAlertFirstButtonReturn = 1000;

struct Alert {
  std::string messageText;
  std::string informativeText;
  std::vector<std::string> buttons;
  friend bool operator==(const Alert&, const Alert&) = default;
};

class Alerts {
 public:
  virtual ~Alerts() = default;
  // The button answered: kAlertFirstButtonReturn for the first, + 1 for each next.
  virtual int runModal(const Alert& alert) = 0;
};

}  // namespace vistarail
