#pragma once
// The application object of the process, shaped after the platform's: its
// delegate, activation policy, main menu, the run loop, the terminate request
// (which the delegate may answer now, never or later, and then replies), the
// reopen request, activation, the standard About panel and the system beep.
//
// Every delegate call arrives on the main queue.

#include <memory>

#include "platform/menu.h"
#include "platform/workspace.h"

namespace vistarail {

enum class TerminateReply { cancel, now, later };

class ApplicationDelegate {
 public:
  virtual ~ApplicationDelegate() = default;
  virtual void applicationDidFinishLaunching() = 0;
  // `later` promises a replyToApplicationShouldTerminate.
  virtual TerminateReply applicationShouldTerminate() = 0;
  // The user opened the program again while it runs (Finder, Dock, Spotlight).
  virtual bool applicationShouldHandleReopen(bool hasVisibleWindows) = 0;
};

class Application {
 public:
  virtual ~Application() = default;
  // The application holds its delegate weakly, as the platform does.
  virtual void setDelegate(std::weak_ptr<ApplicationDelegate> delegate) = 0;
  virtual bool setActivationPolicy(ActivationPolicy policy) = 0;
  virtual void setMainMenu(Menu menu) = 0;
  // Finishes launching (the delegate hears it on the main queue) and serves
  // the main queue until the process terminates. On the simulated desktop it
  // returns at once and virtual time drives the rest.
  virtual void run() = 0;
  // Asks the delegate, then terminates at once, never, or on its later reply.
  virtual void terminate() = 0;
  virtual void replyToApplicationShouldTerminate(bool shouldTerminate) = 0;
  // Brings the program to the front, even past the frontmost application.
  virtual void activate() = 0;
  virtual void orderFrontStandardAboutPanel() = 0;
  virtual void beep() = 0;
};

}  // namespace vistarail
