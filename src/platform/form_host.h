#pragma once
// A window that shows a form (form.h) as the platform's own controls and
// tells what the person does to it: a tab clicked, a control operated, the
// window closed. The program owns what the form says; the host only shows
// the latest description it was given, so a control shows what the program
// made of the input, not what was typed or dragged.
//
// Main queue only; the handlers run on the main queue.

#include <functional>
#include <string>

#include "platform/form.h"

namespace vistarail {

struct FormHandlers {
  std::function<void(int tab)> selectTab;
  std::function<void(const std::string& controlId, const FormInput& input)> operate;
  // The person closed the window; it is ordered out and kept.
  std::function<void()> closed;
};

class FormHost {
 public:
  virtual ~FormHost() = default;
  virtual void setHandlers(FormHandlers handlers) = 0;
  // Makes the window on first use (centred), shows the form, brings the
  // window to the front and makes it key.
  virtual void show(const FormWindow& form) = 0;
  // Shows a new description in place, without ordering the window.
  virtual void update(const FormWindow& form) = 0;
  virtual bool isVisible() const = 0;
};

}  // namespace vistarail
