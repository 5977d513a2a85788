#pragma once
// The settings window's host on the simulated desktop: it keeps the form it
// was last given (what the window would show), counts the windows made and
// the times it was brought to the front, and plays the person's hands:
// clicking a tab, operating a control, closing the window. The hands act at
// once, as a click is handled on the main thread before the next event.

#include <string>

#include "platform/form_host.h"

namespace vistarail::sim {

class SimFormHost final : public FormHost {
 public:
  void setHandlers(FormHandlers handlers) override { handlers_ = std::move(handlers); }
  void show(const FormWindow& form) override;
  void update(const FormWindow& form) override;
  bool isVisible() const override { return visible_; }

  // --- Reading.
  const FormWindow& form() const { return form_; }
  int windowsMade() const { return windowsMade_; }
  int timesShown() const { return timesShown_; }
  int updates() const { return updates_; }
  // The control of the shown form with that id, or null.
  const FormControl* control(const std::string& id) const;

  // --- The person's hands. Each does nothing while the window is not shown.
  void clickTab(int tab);
  void operate(const std::string& controlId, const FormInput& input = std::monostate{});
  void close();

 private:
  FormHandlers handlers_;
  FormWindow form_;
  bool made_ = false;
  bool visible_ = false;
  int windowsMade_ = 0;
  int timesShown_ = 0;
  int updates_ = 0;
};

}  // namespace vistarail::sim
