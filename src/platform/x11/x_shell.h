#pragma once
// The program's own process on X11: the application object runs the main
// queue on the calling thread until the program terminates; signals arrive
// through a signal descriptor watched by the main queue. What has no X11
// meaning answers as the ports allow for a missing service: no status item
// (the menu lives in the control socket), no settings window, no login item,
// no updater, alerts written to standard error.

#include <signal.h>

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/alerts.h"
#include "platform/application.h"
#include "platform/bundle.h"
#include "platform/dispatch.h"
#include "platform/form_host.h"
#include "platform/key_monitor.h"
#include "platform/login_item.h"
#include "platform/process.h"
#include "platform/sim/dispatch/threaded_dispatch.h"
#include "platform/status_item.h"
#include "platform/updater.h"

namespace vistarail::x11 {

class XApplication final : public Application {
 public:
  explicit XApplication(sim::ThreadedDispatch& dispatch) : dispatch_(dispatch) {}
  void setDelegate(std::weak_ptr<ApplicationDelegate> delegate) override {
    delegate_ = std::move(delegate);
  }
  bool setActivationPolicy(ActivationPolicy) override { return true; }
  void setMainMenu(Menu) override {}
  void run() override;
  void terminate() override;
  void replyToApplicationShouldTerminate(bool shouldTerminate) override;
  void activate() override {}
  void orderFrontStandardAboutPanel() override {}
  void beep() override {}
  bool terminated() const { return terminated_; }

 private:
  sim::ThreadedDispatch& dispatch_;
  std::weak_ptr<ApplicationDelegate> delegate_;
  std::atomic<bool> terminated_{false};
  bool awaitingReply_ = false;
};

// Signals are blocked in every thread (blockSignals, before any thread
// starts) and read from a signal descriptor on the main queue.
class XProcess final : public Process {
 public:
  explicit XProcess(Dispatch& dispatch) : dispatch_(dispatch) {}
  ~XProcess() override;
  // Blocks SIGTERM and SIGINT in the calling thread and the threads it starts.
  static void blockSignals();
  std::optional<std::string> environmentValue(const std::string& name) override;
  Pid processIdentifier() override;
  [[nodiscard]] Subscription observeSignal(int signalNumber,
                                           std::function<void()> handler) override;

 private:
  void readSignals();
  Dispatch& dispatch_;
  int fd_ = -1;
  DescriptorWatchRef watch_;
  uint64_t next_ = 1;
  std::shared_ptr<std::map<uint64_t, std::pair<int, std::function<void()>>>> handlers_ =
      std::make_shared<std::map<uint64_t, std::pair<int, std::function<void()>>>>();
};

class XStatusBar final : public StatusBar {
 public:
  std::unique_ptr<StatusItem> makeStatusItem(double length) override;
  std::optional<SymbolImage> systemSymbol(const std::string& name,
                                          const std::string& description) override {
    return SymbolImage{name, description, true};
  }
};

class XBundle final : public Bundle {
 public:
  std::optional<std::string> bundleIdentifier() override { return std::nullopt; }
  std::string bundlePath() override;
  std::optional<PropertyList> infoValue(const std::string& key) override;
  std::optional<std::string> urlForResource(const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

class XAlerts final : public Alerts {
 public:
  // No one can answer a modal question here: it is written down and taken
  // as its first button.
  int runModal(const Alert& alert) override;
};

class XLoginItem final : public LoginItem {
 public:
  LoginItemStatus status() override { return LoginItemStatus::notFound; }
  std::optional<std::string> registerItem() override;
  std::optional<std::string> unregisterItem() override { return std::nullopt; }
};

class XKeyMonitor final : public KeyMonitor {
 public:
  // The program shows no window of its own that keys could reach.
  Token add(Handler) override { return next_++; }
  void remove(Token) override {}

 private:
  Token next_ = 1;
};

class XUpdaterFactory final : public UpdaterFactory {
 public:
  std::unique_ptr<Updater> makeUnstarted() override;
};

class XFormHost final : public FormHost {
 public:
  void setHandlers(FormHandlers) override {}
  // Settings are changed through the control socket (`vistarail msg set`).
  void show(const FormWindow& form) override;
  void update(const FormWindow&) override {}
  bool isVisible() const override { return false; }
};

}  // namespace vistarail::x11
