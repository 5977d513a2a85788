#pragma once
// The form-host port over AppKit: one ordinary window (titled, closable,
// miniaturizable, kept when closed, centred when made) with the tabs as a
// segmented control and the controls of the shown tab as AppKit controls in
// a scrolling column. What the person does goes to the handlers; the window
// then shows whatever description the program sends back.

#include <memory>

#include "platform/form_host.h"

namespace vistarail::macos {

class MacFormHost final : public FormHost {
 public:
  MacFormHost();
  ~MacFormHost() override;
  void setHandlers(FormHandlers handlers) override;
  void show(const FormWindow& form) override;
  void update(const FormWindow& form) override;
  bool isVisible() const override;

 private:
  struct Objects;  // the window and its views, kept out of C++ headers
  std::unique_ptr<Objects> objects_;
};

}  // namespace vistarail::macos
