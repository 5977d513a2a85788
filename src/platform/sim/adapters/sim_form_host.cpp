#include "platform/sim/adapters/sim_form_host.h"

namespace vistarail::sim {

void SimFormHost::show(const FormWindow& form) {
  if (!made_) {
    made_ = true;
    ++windowsMade_;
  }
  form_ = form;
  visible_ = true;
  ++timesShown_;
}

void SimFormHost::update(const FormWindow& form) {
  form_ = form;
  ++updates_;
}

const FormControl* SimFormHost::control(const std::string& id) const {
  for (const FormControl& each : form_.controls) {
    if (each.id == id) return &each;
  }
  return nullptr;
}

void SimFormHost::clickTab(int tab) {
  if (visible_ && handlers_.selectTab) handlers_.selectTab(tab);
}

void SimFormHost::operate(const std::string& controlId, const FormInput& input) {
  if (visible_ && handlers_.operate) handlers_.operate(controlId, input);
}

void SimFormHost::close() {
  if (!visible_) return;
  visible_ = false;
  if (handlers_.closed) handlers_.closed();
}

}  // namespace vistarail::sim
