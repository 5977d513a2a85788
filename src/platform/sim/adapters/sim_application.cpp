#include "platform/sim/adapters/sim_application.h"

#include <cstdio>

namespace vistarail::sim {

void SimApplication::setDelegate(std::weak_ptr<ApplicationDelegate> delegate) {
  delegate_ = std::move(delegate);
}

bool SimApplication::setActivationPolicy(ActivationPolicy policy) {
  policy_ = policy;
  return true;
}

void SimApplication::setMainMenu(Menu menu) {
  mainMenu_ = std::move(menu);
}

void SimApplication::run() {
  if (launched_) return;
  launched_ = true;
  note("launch");
  dispatch_.main()->async([this] {
    if (auto delegate = delegate_.lock()) delegate->applicationDidFinishLaunching();
  });
}

void SimApplication::terminate() {
  if (terminatedAt_) return;
  ++terminateRequests_;
  auto delegate = delegate_.lock();
  const TerminateReply reply =
      delegate ? delegate->applicationShouldTerminate() : TerminateReply::now;
  switch (reply) {
    case TerminateReply::now:
      note("terminate: now");
      exitProcess();
      break;
    case TerminateReply::later:
      note("terminate: later");
      awaitingReply_ = true;
      break;
    case TerminateReply::cancel:
      note("terminate: cancelled");
      break;
  }
}

void SimApplication::replyToApplicationShouldTerminate(bool shouldTerminate) {
  if (!awaitingReply_ || terminatedAt_) {
    note("terminate reply without a pending request");
    return;
  }
  awaitingReply_ = false;
  note(shouldTerminate ? "terminate reply: yes" : "terminate reply: no");
  if (shouldTerminate) exitProcess();
}

void SimApplication::activate() {
  ++activations_;
}

void SimApplication::orderFrontStandardAboutPanel() {
  ++aboutPanels_;
  note("about panel");
}

void SimApplication::beep() {
  ++beeps_;
  note("beep");
}

void SimApplication::reopen() {
  dispatch_.main()->async([this] {
    note("reopen");
    if (auto delegate = delegate_.lock()) delegate->applicationShouldHandleReopen(false);
  });
}

void SimApplication::chooseMainMenuItem(const std::string& menuTitle,
                                        const std::string& itemTitle) {
  dispatch_.main()->async([this, menuTitle, itemTitle] {
    if (!mainMenu_) return;
    for (const MenuItem& top : mainMenu_->items) {
      if (top.submenuTitle != menuTitle) continue;
      for (const MenuItem& item : top.submenu) {
        if (item.isSeparator || item.title != itemTitle) continue;
        if (item.validate && !item.validate()) {
          note("menu " + itemTitle + ": disabled");
          return;
        }
        note("menu " + itemTitle);
        if (item.perform) {
          auto perform = item.perform;
          perform();
        } else if (item.selector == "terminate:") {
          terminate();
        }
        return;
      }
    }
  });
}

void SimApplication::note(const std::string& text) {
  char time[32];
  std::snprintf(time, sizeof time, "%.3f ", dispatch_.mediaTime());
  log_.push_back(time + text);
}

void SimApplication::exitProcess() {
  terminatedAt_ = dispatch_.mediaTime();
  note("the process may exit");
}

}  // namespace vistarail::sim
