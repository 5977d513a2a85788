#pragma once
// The application port over NSApplication: an application delegate that
// forwards launch, terminate and reopen to the program's delegate (held
// weakly, as AppKit holds its delegate), the activation policy, the main
// menu, the run loop, the terminate protocol with its later reply,
// activation, the About panel and the beep.

#include <memory>

#include "platform/application.h"

namespace vistarail::macos {

class MacApplication final : public Application {
 public:
  MacApplication();
  ~MacApplication() override;
  void setDelegate(std::weak_ptr<ApplicationDelegate> delegate) override;
  bool setActivationPolicy(ActivationPolicy policy) override;
  void setMainMenu(Menu menu) override;
  void run() override;
  void terminate() override;
  void replyToApplicationShouldTerminate(bool shouldTerminate) override;
  void activate() override;
  void orderFrontStandardAboutPanel() override;
  void beep() override;

 private:
  struct Objects;  // the Objective-C delegate, kept out of C++ headers
  std::unique_ptr<Objects> objects_;
};

}  // namespace vistarail::macos
